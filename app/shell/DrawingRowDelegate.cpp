#include "app/shell/DrawingRowDelegate.h"

#include "app/shell/DrawingListModel.h"
#include "app/widgets/Icons.h"
#include "app/widgets/ScaledPictures.h"
#include "app/widgets/Spinner.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace quillfen {

namespace {

constexpr int rowHeight = 48;       // the 44-point thumbnail with 2 points above and below
constexpr int headerHeight = 26;
constexpr QSizeF thumbSize{52, 44};
constexpr int margin = 8;
constexpr int spacing = 10;
constexpr int badgeSize = 14;

QColor secondary(const QPalette& palette) { return palette.color(QPalette::PlaceholderText); }

struct Badges {
    QRect featured;
    QRect lowResolution;
};

// Where the badges sit, trailing edge first: the star before the triangle.
Badges badgeRects(const QRect& row, bool featured, bool lowResolution) {
    Badges badges;
    int right = row.right() - margin;
    const auto place = [&] {
        QRect r(right - badgeSize + 1, row.center().y() - badgeSize / 2, badgeSize, badgeSize);
        right -= badgeSize + 4;
        return r;
    };
    if (lowResolution) badges.lowResolution = place();
    if (featured) badges.featured = place();
    return badges;
}

// The thumbnail's frame in a drawing row.
QRectF thumbFrame(const QRect& row) {
    return {static_cast<qreal>(row.left() + margin), row.center().y() + 1 - thumbSize.height() / 2,
            thumbSize.width(), thumbSize.height()};
}

QRectF spinnerArea(const QRect& row) {
    return {thumbFrame(row).center() - QPointF(8, 8), QSizeF(16, 16)};
}

}  // namespace

DrawingRowDelegate::DrawingRowDelegate(QObject* parent)
    : QStyledItemDelegate(parent), m_thumbnails(new ScaledPictures(4000, this)), m_badges(8), m_lines(1000) {}

QRect DrawingRowDelegate::spinnerRect(const QRect& row) {
    return spinnerArea(row).toAlignedRect().adjusted(-1, -1, 1, 1);
}

QSize DrawingRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const bool header = index.data(DrawingListModel::headerRole).toBool();
    return {option.rect.width(), header ? headerHeight : rowHeight};
}

void DrawingRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (index.data(DrawingListModel::headerRole).toBool()) {
        paintHeader(painter, option, index);
        return;
    }
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const auto* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, option.widget);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect row = option.rect;
    const qreal ratio = painter->device()->devicePixelRatioF();
    const QRectF frame = thumbFrame(row);
    const auto thumb = index.data(DrawingListModel::thumbRole).value<QImage>();
    if (thumb.isNull()) {
        QColor fill = option.palette.color(QPalette::Text);
        fill.setAlphaF(0.15f);
        QPainterPath path;
        path.addRoundedRect(frame, 3, 3);
        painter->fillPath(path, fill);
    } else {
        paintThumbnail(painter, frame, thumb, ratio);
    }
    if (index.data(DrawingListModel::busyRole).toBool()) {
        paintSpinner(*painter, spinnerArea(row), m_phase, option.palette.color(QPalette::Text));
    }

    const bool featured = index.data(DrawingListModel::featuredRole).toBool();
    const bool lowResolution = index.data(DrawingListModel::lowResolutionRole).toBool();
    const auto badges = badgeRects(row, featured, lowResolution);
    if (featured) {
        painter->drawPixmap(badges.featured, badge(QStringLiteral("starred"), QColor(0xf5, 0xc2, 0x11), false, ratio));
    }
    if (lowResolution) {  // the theme's warning triangle is already orange
        painter->drawPixmap(badges.lowResolution,
                            badge(QStringLiteral("dialog-warning"), QColor(0xff, 0x95, 0x00), true, ratio));
    }

    const bool selected = option.state & QStyle::State_Selected;
    const int textLeft = static_cast<int>(frame.right()) + spacing;
    const int textRight = (featured || lowResolution)
                              ? std::min(badges.featured.isNull() ? row.right() : badges.featured.left(),
                                         badges.lowResolution.isNull() ? row.right() : badges.lowResolution.left()) - 6
                              : row.right() - margin;
    QFont titleFont = option.font;
    QFont detailFont = option.font;
    detailFont.setPointSizeF(option.font.pointSizeF() * 0.85);
    const QFontMetrics titleMetrics(titleFont);
    const QFontMetrics detailMetrics(detailFont);
    const int textHeight = titleMetrics.height() + 2 + detailMetrics.height();
    const int top = row.center().y() - textHeight / 2;
    const int width = std::max(0, textRight - textLeft);
    const QColor primary = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const QColor muted = selected ? primary : secondary(option.palette);

    painter->setFont(titleFont);
    painter->setPen(index.data(DrawingListModel::untitledRole).toBool() ? muted : primary);
    painter->drawStaticText(textLeft, top, line(index.data(Qt::DisplayRole).toString(), titleFont, width));
    painter->setFont(detailFont);
    painter->setPen(muted);
    painter->drawStaticText(textLeft, top + titleMetrics.height() + 2,
                            line(index.data(DrawingListModel::detailRole).toString(), detailFont, width));
    painter->restore();
}

const QStaticText& DrawingRowDelegate::line(const QString& text, const QFont& font, int width) const {
    const QString key = font.key() + QChar(0x1f) + QString::number(width) + QChar(0x1f) + text;
    if (const QStaticText* laid = m_lines.object(key)) return *laid;
    auto* laid = new QStaticText(QFontMetrics(font).elidedText(text, Qt::ElideRight, width));
    laid->setTextFormat(Qt::PlainText);
    laid->prepare(QTransform(), font);
    m_lines.insert(key, laid);
    return *laid;
}

void DrawingRowDelegate::paintHeader(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    painter->save();
    QFont font = option.font;
    font.setBold(true);
    font.setPointSizeF(option.font.pointSizeF() * 0.85);
    painter->setFont(font);
    painter->setPen(secondary(option.palette));
    const QRect text = option.rect.adjusted(margin, 6, -margin, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(font).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                                    text.width()));
    painter->restore();
}

void DrawingRowDelegate::paintThumbnail(QPainter* painter, const QRectF& frame, const QImage& thumb,
                                        qreal ratio) const {
    const QSizeF fitted = QSizeF(thumb.size()).scaled(frame.size(), Qt::KeepAspectRatio);
    const QRectF target(frame.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
    painter->fillRect(target.translated(0, 1), QColor(0, 0, 0, 38));
    painter->fillRect(target, Qt::white);
    const QPixmap scaled = m_thumbnails->pixmap(thumb, frame.size(), ratio);
    if (!scaled.isNull()) painter->drawPixmap(target, scaled, QRectF(scaled.rect()));
}

QPixmap DrawingRowDelegate::badge(const QString& icon, const QColor& color, bool themeColours,
                                  qreal ratio) const {
    const QString key = icon + QString::number(ratio);
    if (auto* cached = m_badges.object(key)) return *cached;
    QPixmap pixmap = themeIcon(icon).pixmap(QSize(badgeSize, badgeSize), ratio);
    const bool missing = pixmap.isNull();
    if (missing) pixmap = dotSymbol(badgeSize, ratio);  // in the badge's colour, below
    if (missing || !themeColours) tint(pixmap, color);
    m_badges.insert(key, new QPixmap(pixmap));
    return pixmap;
}

bool DrawingRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) {
    if (event->type() == QEvent::ToolTip && index.data(DrawingListModel::lowResolutionRole).toBool()) {
        const auto badges = badgeRects(option.rect, index.data(DrawingListModel::featuredRole).toBool(), true);
        if (badges.lowResolution.contains(event->pos())) {
            QToolTip::showText(event->globalPos(), tr("Low resolution for its size in the book"), view);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

}  // namespace quillfen
