#include "app/shell/MoreAppsView.h"

#include "app/platform/WebPage.h"
#include "app/shell/MacApp.h"
#include "app/shell/Site.h"
#include "app/widgets/Icons.h"

#include <QAbstractButton>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

namespace quillfen {

namespace {

constexpr int tileSide = 36;

// The row's tile: the icon in white on a rounded square filled with a gradient of the tint.
QPixmap tile(const QString& iconName, const QColor& tint, qreal scale) {
    QPixmap pixmap(QSize(tileSide, tileSide) * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, tileSide);
    gradient.setColorAt(0, tint.lighter(125));
    gradient.setColorAt(1, tint);
    QPainterPath square;
    square.addRoundedRect(QRectF(0, 0, tileSide, tileSide), 8, 8);
    painter.fillPath(square, gradient);

    const QIcon icon = themeIcon(iconName + QStringLiteral("-symbolic"));
    if (icon.isNull()) return pixmap;
    QPixmap glyph = icon.pixmap(QSize(18, 18), scale);
    {
        QPainter white(&glyph);
        white.setCompositionMode(QPainter::CompositionMode_SourceIn);
        white.fillRect(glyph.rect(), Qt::white);
    }
    painter.drawPixmap(QPointF((tileSide - 18) / 2.0, (tileSide - 18) / 2.0), glyph);
    return pixmap;
}

// A row of the list: the whole row is one flat button with a tile, texts and an arrow.
class LinkRow : public QAbstractButton {
public:
    LinkRow(const QPixmap& tilePixmap, const QString& name, const QString& detail, QWidget* parent)
        : QAbstractButton(parent) {
        setCursor(Qt::PointingHandCursor);
        setAttribute(Qt::WA_Hover);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(10, 2 + 4, 10, 2 + 4);
        layout->setSpacing(12);
        auto* icon = new QLabel;
        icon->setPixmap(tilePixmap);
        icon->setFixedSize(tileSide, tileSide);
        layout->addWidget(icon);
        auto* texts = new QVBoxLayout;
        texts->setSpacing(2);
        auto* title = new QLabel(name);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        texts->addWidget(title);
        if (!detail.isEmpty()) {
            auto* line = new QLabel(detail);
            line->setWordWrap(true);  // a long description takes a second line instead of pushing the arrow out
            line->setForegroundRole(QPalette::PlaceholderText);
            texts->addWidget(line);
        }
        layout->addLayout(texts, 1);
        auto* arrow = new QLabel;
        arrow->setObjectName(QStringLiteral("arrow"));
        arrow->setPixmap(themeIcon(QStringLiteral("go-next")).pixmap(16, 16));
        layout->addWidget(arrow);
        for (QLabel* label : findChildren<QLabel*>()) label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    QSize sizeHint() const override { return layout()->sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!underMouse() && !isDown()) return;
        QPainter painter(this);
        QColor shade = palette().color(QPalette::Highlight);
        shade.setAlphaF(isDown() ? 0.25 : 0.12);
        painter.fillRect(rect(), shade);
    }
};

QFrame* separator() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Midlight);
    return line;
}

}  // namespace

MoreAppsView::MoreAppsView(QWidget* parent) : QWidget(parent) {
    openURL = [](const QUrl& url) { WebPage::open(url); };
    const qreal scale = devicePixelRatioF();
    const QString host = site::makerHost();

    auto* group = new QFrame;
    group->setFrameShape(QFrame::StyledPanel);
    group->setBackgroundRole(QPalette::Base);
    group->setAutoFillBackground(true);
    auto* rows = new QVBoxLayout(group);
    rows->setContentsMargins(0, 4, 0, 4);
    rows->setSpacing(0);
    const auto addRow = [&](LinkRow* row, const QUrl& url) {
        if (rows->count() > 0) rows->addWidget(separator());
        rows->addWidget(row);
        connect(row, &QAbstractButton::clicked, this, [this, url] { openURL(url); });
    };
    for (const MacApp& app : MacApp::all()) {
        if (app.id == QLatin1String("quillfen")) continue;
        auto* row = new LinkRow(tile(app.icon, app.tint, scale), app.name, app.detail, group);
        row->setAccessibleName(app.direct ? tr("Opens %1 on %2").arg(app.name, host)
                                          : tr("Opens %1 in the App Store").arg(app.name));
        row->setAccessibleDescription(app.detail);
        addRow(row, app.url());
    }
    auto* seeAll = new LinkRow(tile(QStringLiteral("view-app-grid"), QColor(Qt::gray), scale),
                               tr("See all Mac apps on %1").arg(host), {}, group);
    seeAll->setAccessibleName(tr("See all Mac apps on %1").arg(host));
    addRow(seeAll, seeAllMacAppsURL());

    auto* caption = new QLabel(tr("App Store apps open in the App Store; the others open on %1.").arg(host));
    caption->setWordWrap(true);
    caption->setForegroundRole(QPalette::PlaceholderText);
    QFont small = caption->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    caption->setFont(small);

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->addWidget(group);
    column->addWidget(caption);
    column->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
}

MoreAppsWindow::~MoreAppsWindow() {
    delete m_window;
}

void MoreAppsWindow::show() {
    if (!m_window) {
        m_window = new MoreAppsView;
        m_window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                 Qt::CustomizeWindowHint);
        m_window->setWindowTitle(MoreAppsView::tr("More Mac Apps"));
        m_window->setFixedSize(440, 400);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            m_window->move(screen->availableGeometry().center() - m_window->rect().center());
        }
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

}  // namespace quillfen
