#include "app/book/PageGrid.h"

#include "app/book/BookPages.h"
#include "app/model/ImageConversion.h"
#include "engine/book/BookRenderer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include <cmath>

namespace quillfen {

namespace {

constexpr double margin = 24;
constexpr double spreadSpacing = 22;
constexpr double cellSpacing = 2;
constexpr double captionGap = 4;

QFont captionFont(const QFont& base) {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * 0.8);
    return font;
}

}  // namespace

PageGrid::PageGrid(AppModel& model, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_layout(std::make_shared<BookLayout>()),
      m_content(std::make_shared<BookContent>()) {
    installAccessibleGrids();
}

void PageGrid::setBook(BookLayout layout, BookContent content, QSizeF cellSize, std::int64_t revision) {
    m_layout = std::make_shared<const BookLayout>(std::move(layout));
    m_content = std::make_shared<const BookContent>(std::move(content));
    m_cellSize = cellSize;
    m_revision = revision;
    m_spreads = BookPages::spreads(static_cast<int>(m_layout->pages.size()));
    const double rows = static_cast<double>(m_spreads.size());
    const double height = rows > 0 ? 2 * margin + rows * rowHeight() + (rows - 1) * spreadSpacing : 0;
    setMinimumSize(static_cast<int>(std::ceil(2 * margin + 2 * cellSize.width() + cellSpacing)),
                   static_cast<int>(std::ceil(height)));
    update();
    announceCellsChanged(this);
}

// Several scroll steps can arrive in one pass of the event loop; only the last view renders.
void PageGrid::setViewport(QRect visible) {
    m_viewport = visible;
    if (m_rendersPending) return;
    m_rendersPending = true;
    QMetaObject::invokeMethod(this, &PageGrid::requestRenders, Qt::QueuedConnection);
}

double PageGrid::captionHeight() const { return QFontMetricsF(captionFont(font())).height(); }

double PageGrid::rowHeight() const { return m_cellSize.height() + captionGap + captionHeight(); }

QRectF PageGrid::cellRect(int number) const {
    if (number < 1 || number > static_cast<int>(m_layout->pages.size())) return {};
    const int row = number / 2;
    const bool right = number % 2 == 1;
    const double spreadWidth = 2 * m_cellSize.width() + cellSpacing;
    const double left = std::max(margin, (width() - spreadWidth) / 2);
    const double x = left + (right ? m_cellSize.width() + cellSpacing : 0);
    const double y = margin + row * (rowHeight() + spreadSpacing);
    return {x, y, m_cellSize.width(), m_cellSize.height()};
}

std::optional<int> PageGrid::pageAt(QPointF point) const {
    for (int n = 1; n <= static_cast<int>(m_layout->pages.size()); ++n) {
        if (cellRect(n).contains(point)) return n;
    }
    return std::nullopt;
}

std::vector<int> PageGrid::visiblePages() const {
    std::vector<int> pages;
    for (int n = 1; n <= static_cast<int>(m_layout->pages.size()); ++n) {
        if (cellRect(n).intersects(m_viewport)) pages.push_back(n);
    }
    return pages;
}

QImage PageGrid::image(int number) const { return m_pictures.picture(number - 1).image; }

std::optional<PageKey> PageGrid::imageKey(int number) const { return m_pictures.pictureKey(number - 1); }

QString PageGrid::cellText(int cell) const {
    return BookPages::accessibilityText(m_model, m_layout->pages[static_cast<std::size_t>(cell)]);
}

void PageGrid::runCellAction(int cell) {
    BookPages::openFirstDrawing(m_model, m_layout->pages[static_cast<std::size_t>(cell)]);
}

void PageGrid::requestRenders() {
    m_rendersPending = false;
    if (!isVisible() || m_viewport.isEmpty()) return;
    m_pictures.follow(
        m_viewport, static_cast<int>(m_layout->pages.size()), [this](int slot) { return cellRect(slot + 1); },
        [this](int slot) { render(slot + 1); });
}

// The key holds the revision the grid's content was built from, not the model's revision now: a render
// that starts before a pending evaluation draws the older content and must not pass for the newer one.
void PageGrid::render(int number) {
    const PageKey key{m_revision, m_model.showGuides(), number, wholePoints(m_cellSize.width())};
    const BookPage page = m_layout->pages[static_cast<std::size_t>(number - 1)];
    const int pixelWidth = wholePoints(m_cellSize.width() * 2);
    const qreal ratio = devicePixelRatioF();
    const QSize screenSize = (m_cellSize * ratio).toSize();
    m_pictures.render(
        number - 1, key, m_model.editorPool(),
        [page, layout = m_layout, content = m_content, pixelWidth, screenSize, ratio, guides = key.guides] {
            const auto bitmap = BookRenderer::thumbnail(page, *layout, *content, pixelWidth, guides);
            if (!bitmap) return Picture{};
            Picture picture{rgbImage(*bitmap), {}};
            picture.shown = picture.image.scaled(screenSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            picture.shown.setDevicePixelRatio(ratio);
            return picture;
        },
        [this, number] { update(cellRect(number).toAlignedRect().adjusted(-4, -4, 4, 6)); });
}

void PageGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QFont font = captionFont(this->font());
    painter.setFont(font);
    const QColor captionColor = palette().color(QPalette::PlaceholderText);
    for (int n = 1; n <= static_cast<int>(m_layout->pages.size()); ++n) {
        const QRectF rect = cellRect(n);
        const QRectF withCaption = rect.adjusted(-4, -4, 4, captionGap + captionHeight());
        if (!event->region().intersects(withCaption.toAlignedRect())) continue;
        paintPageShadow(painter, rect);
        const Picture& shown = m_pictures.picture(n - 1);
        const qreal ratio = devicePixelRatioF();
        if (!shown.shown.isNull() && shown.shown.size() == (rect.size() * ratio).toSize()) {
            painter.drawImage(rect.topLeft().toPoint(), shown.shown);
        } else if (!shown.image.isNull()) {
            painter.drawImage(rect, shown.image);
        } else {
            painter.fillRect(rect, Qt::white);
        }
        painter.setPen(captionColor);
        painter.drawText(QRectF(rect.left() - spreadSpacing, rect.bottom() + captionGap,
                                rect.width() + 2 * spreadSpacing, captionHeight()),
                         Qt::AlignHCenter | Qt::AlignTop, BookPages::caption(m_layout->pages[n - 1]));
    }
}

void PageGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (const auto number = pageAt(event->position())) {
        BookPages::openFirstDrawing(m_model, m_layout->pages[*number - 1]);
    }
}

}  // namespace quillfen
