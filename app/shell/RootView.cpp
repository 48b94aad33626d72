#include "app/shell/RootView.h"

#include "app/platform/WindowGeometry.h"
#include "app/shell/EmptyState.h"
#include "app/shell/LayoutCache.h"
#include "app/shell/MainToolbar.h"
#include "app/shell/Presentations.h"
#include "app/shell/Screens.h"
#include "app/shell/ShellDialogs.h"
#include "app/shell/ShellTexts.h"
#include "app/shell/Sidebar.h"
#include "app/shell/StatusAnnouncer.h"

#include <QDragEnterEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QMimeData>

#include <QVBoxLayout>

#include <map>

namespace quillfen {

namespace {

QFrame* divider() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QWidget* column() {
    auto* host = new QWidget;
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return host;
}

}  // namespace

RootView::RootView(AppModel& model, QWidget* parent)
    : QMainWindow(parent),
      m_model(model),
      m_sidebar(new Sidebar(model)),
      m_toolbar(new MainToolbar(model, this)),
      m_detailHost(column()),
      m_inspectorHost(column()),
      m_inspectorDivider(divider()) {
    model.setDialogs(shellDialogs(this));
    setAcceptDrops(true);
    setUnifiedTitleAndToolBarOnMac(true);
    addToolBar(m_toolbar);

    auto* central = new QWidget;
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_sidebar->setFixedWidth(280);
    m_inspectorHost->setFixedWidth(310);
    row->addWidget(m_sidebar);
    row->addWidget(divider());
    row->addWidget(m_detailHost, 1);
    row->addWidget(m_inspectorDivider);
    row->addWidget(m_inspectorHost);
    central->setMinimumSize(1080, 680);  // the content's least size; menu bar and toolbar come on top
    setCentralWidget(central);
    if (!WindowGeometry::keep(*this, QStringLiteral("mainWindowGeometry"))) resize(1320, 860);

    auto* announcer = new StatusAnnouncer(central);
    m_presentations = new Presentations(model, this);
    connect(&model, &AppModel::announcement, announcer, &StatusAnnouncer::announce);

    // Routing waits for the end of the current event, so a screen is never set aside inside its own handler.
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &RootView::refresh);
    for (const auto signal : {&AppModel::drawingsChanged, &AppModel::importingChanged, &AppModel::modeChanged,
                              &AppModel::selectedIDChanged, &AppModel::settingsChanged, &AppModel::revisionChanged})
        connect(&model, signal, &m_refresh, qOverload<>(&QTimer::start));
    refresh();
}

void RootView::refresh() {
    routeDetail();
    routeInspector();
    const auto subtitle = windowSubtitle(static_cast<int>(m_model.drawings().size()),
                                         static_cast<int>(LayoutCache::layout(m_model).pages.size()));
    auto title = quillfen::windowTitle(m_model.settings());
    if (!subtitle.isEmpty()) title += QStringLiteral(" — ") + subtitle;
    setWindowTitle(title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));  // shown as typed
}

void RootView::routeDetail() {
    const auto selected = m_model.selected();
    const Screen next = m_model.drawings().empty() && m_model.importing() == 0 ? Screen::empty
                        : m_model.mode() == ViewMode::calendar                 ? Screen::calendarPreview
                        : m_model.mode() == ViewMode::drawing && selected      ? Screen::editor
                                                                               : Screen::bookPreview;
    if (next != m_detailScreen) {
        m_detail = bring(m_detailHost, m_detail, next, [&]() -> QWidget* {
            switch (next) {
                case Screen::empty: return new EmptyState(m_model, m_detailHost);
                case Screen::editor: return makeDrawingEditor(m_model, *selected, m_detailHost);
                case Screen::calendarPreview: return makeCalendarPreview(m_model, m_detailHost);
                default: return makeBookPreview(m_model, m_detailHost);
            }
        });
        m_detailScreen = next;
    } else if (next == Screen::editor) {
        static_cast<DrawingScreen*>(m_detail)->setDrawing(*selected);
    }
    if (next == Screen::empty) static_cast<EmptyState*>(m_detail)->setTargeted(m_dropTargeted);
}

void RootView::routeInspector() {
    const bool shown = !m_model.drawings().empty();
    m_inspectorHost->setVisible(shown);
    m_inspectorDivider->setVisible(shown);
    const auto selected = m_model.selected();
    const Screen next = !shown                                                ? Screen::none
                        : m_model.mode() == ViewMode::calendar                ? Screen::calendarInspector
                        : m_model.mode() == ViewMode::drawing && selected     ? Screen::drawingInspector
                                                                              : Screen::bookInspector;
    if (next == m_inspectorScreen) {
        if (next == Screen::drawingInspector) static_cast<DrawingScreen*>(m_inspector)->setDrawing(*selected);
        return;
    }
    m_inspector = bring(m_inspectorHost, m_inspector, next, [&]() -> QWidget* {
        switch (next) {
            case Screen::calendarInspector: return makeCalendarInspector(m_model, m_inspectorHost);
            case Screen::drawingInspector: return makeDrawingInspector(m_model, *selected, m_inspectorHost);
            default: return makeBookInspector(m_model, m_inspectorHost);
        }
    });
    m_inspectorScreen = next;
}

QWidget* RootView::bring(QWidget* host, QWidget* current, Screen next, const std::function<QWidget*()>& make) {
    if (current) {
        current->hide();
        if (auto* kept = dynamic_cast<KeptScreen*>(current)) kept->setAside(true);
    }
    if (next == Screen::none) return nullptr;
    QWidget*& screen = m_screens[next];
    if (!screen) {
        static const std::map<Screen, QString> names{
            {Screen::empty, QStringLiteral("emptyState")},
            {Screen::editor, QStringLiteral("drawingEditor")},
            {Screen::calendarPreview, QStringLiteral("calendarPreview")},
            {Screen::bookPreview, QStringLiteral("bookPreview")},
            {Screen::calendarInspector, QStringLiteral("calendarInspector")},
            {Screen::drawingInspector, QStringLiteral("drawingInspector")},
            {Screen::bookInspector, QStringLiteral("bookInspector")}};
        screen = make();
        screen->setObjectName(names.at(next));
        host->layout()->addWidget(screen);
    } else if (auto* kept = dynamic_cast<KeptScreen*>(screen)) {
        kept->setAside(false);
    }
    screen->show();
    return screen;
}

void RootView::setDropTargeted(bool targeted) {
    m_dropTargeted = targeted;
    if (auto* empty = qobject_cast<EmptyState*>(m_detail)) empty->setTargeted(targeted);
}

void RootView::dragEnterEvent(QDragEnterEvent* event) {
    if (!acceptsDrop(*event->mimeData())) return event->ignore();
    event->acceptProposedAction();
    setDropTargeted(true);
}

void RootView::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void RootView::dragLeaveEvent(QDragLeaveEvent*) { setDropTargeted(false); }

void RootView::dropEvent(QDropEvent* event) {
    setDropTargeted(false);
    event->acceptProposedAction();
    // Each item reaches the model in a turn of its own, after the drop has been answered.
    const auto items = droppedItems(*event->mimeData());
    for (const auto& url : items.files)
        QMetaObject::invokeMethod(this, [this, url] { m_model.importURLs({url}); }, Qt::QueuedConnection);
    for (const auto& bytes : items.images) {
        QMetaObject::invokeMethod(this, [this, bytes] { m_model.addDropped({ImportedImage{bytes}}); },
                                  Qt::QueuedConnection);
    }
}

}  // namespace quillfen
