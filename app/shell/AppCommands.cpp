#include "app/shell/AppCommands.h"

#include "MenuBaseline/MenuBaseline.h"
#include "app/model/AppModel.h"
#include "app/platform/WebPage.h"
#include "app/shell/Site.h"
#include "app/widgets/BookCover.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QSignalBlocker>

namespace quillfen {

namespace {

QAction* addCommand(QMenu& menu, const QString& title, const char* name, const QKeySequence& shortcut,
                    std::function<void()> run) {
    QAction* action = menu.addAction(title);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, action, [run = std::move(run)] { run(); });
    return action;
}

}  // namespace

AppCommands::AppCommands(AppModel& model, ShellCommands shell, QMainWindow& window)
    : QObject(&window), m_model(model), m_shell(std::move(shell)) {
    QMenuBar& bar = *window.menuBar();
    buildApplicationMenu(*bar.addMenu(QStringLiteral("Quillfen")));
    QMenu& file = *bar.addMenu(tr("File"));
    file.setObjectName(MenuBaseline::fileMenuName);
    buildFileMenu(file);
    buildBookMenu(*bar.addMenu(tr("Book")));
    buildDrawingMenu(*bar.addMenu(tr("Drawing")));
    MenuBaseline(CloseWindowAction::closeKeyWindow,
                 MenuHelp(QStringLiteral("Quillfen"), QKeySequence(Qt::Key_F1), [] { WebPage::open(site::helpPage()); }))
        .install(bar);

    // The menu bar's shortcuts die with a closed or sheet-blocked main window, so every window holds
    // these as its own once shown. Settings and Quit act from any window; Close Window only on the
    // window it is pressed in, never on one behind its sheet.
    QAction* closeWindow = file.findChild<QAction*>(QLatin1String(MenuBaseline::closeWindowName));
    closeWindow->setShortcutContext(Qt::WindowShortcut);
    m_everywhere << closeWindow;
    for (QWidget* shown : QApplication::topLevelWidgets()) reach(*shown);
    qApp->installEventFilter(this);

    for (auto changed : {&AppModel::modeChanged, &AppModel::drawingsChanged, &AppModel::selectedIDChanged,
                         &AppModel::showGuidesChanged, &AppModel::calendarChanged}) {
        connect(&model, changed, this, &AppCommands::refresh);
    }
    refresh();
}

void AppCommands::buildApplicationMenu(QMenu& menu) {
    addCommand(menu, tr("About %1").arg(QStringLiteral("Quillfen")), "about", {}, [this] { m_model.showAbout(); });
    menu.addSeparator();
    m_everywhere << addCommand(menu, tr("Settings…"), "settings", QKeySequence(Qt::CTRL | Qt::Key_Comma),
                               [this] { m_shell.showSettings(); });
    m_everywhere.back()->setShortcutContext(Qt::ApplicationShortcut);
    menu.addSeparator();
    addCommand(menu, tr("More Mac Apps…"), "moreApps", {}, [this] { m_shell.showMoreApps(); });
    addCommand(menu, tr("Check for Updates…"), "checkForUpdates", {}, [this] { m_shell.checkForUpdates(); });
    menu.addSeparator();
    m_everywhere << addCommand(menu, tr("Quit"), "quit", QKeySequence(Qt::CTRL | Qt::Key_Q),
                               [] { QApplication::quit(); });
    m_everywhere.back()->setShortcutContext(Qt::ApplicationShortcut);
}

bool AppCommands::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow()) reach(*widget);
    }
    return false;
}

void AppCommands::reach(QWidget& window) const {
    const Qt::WindowType type = window.windowType();
    if (type == Qt::Popup || type == Qt::ToolTip) return;
    for (QAction* action : m_everywhere)
        if (!window.actions().contains(action)) window.addAction(action);
}

void AppCommands::buildFileMenu(QMenu& menu) {
    addCommand(menu, tr("Add from Photos…"), "addFromPhotos", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I),
               [this] { m_model.setPhotosPickerShown(true); });
    addCommand(menu, tr("Add Files or Folder…"), "addFiles", QKeySequence(Qt::CTRL | Qt::Key_O),
               [this] { m_model.chooseFiles(); });
    menu.addSeparator();
    addCommand(menu, tr("New Book…"), "newBook", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N),
               [this] { m_model.setNewBookConfirm(true); });
    // The save group; the menu module puts Close Window just before it.
    menu.addSeparator()->setObjectName(MenuBaseline::saveGroupName);
    m_exportPrint = addCommand(menu, {}, "exportPrint", QKeySequence(Qt::CTRL | Qt::Key_E),
                               [this] { m_model.requestExport(ExportKind::print); });
    m_exportHome = addCommand(menu, tr("Export for Home Printing…"), "exportHome",
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E),
                              [this] { m_model.requestExport(ExportKind::home); });
}

void AppCommands::buildBookMenu(QMenu& menu) {
    m_showDrawing = addCommand(menu, tr("Show Drawing"), "showDrawing", QKeySequence(Qt::CTRL | Qt::Key_1),
                               [this] { m_model.setMode(ViewMode::drawing); });
    addCommand(menu, tr("Show Book"), "showBook", QKeySequence(Qt::CTRL | Qt::Key_2),
               [this] { m_model.setMode(ViewMode::book); });
    addCommand(menu, tr("Show Calendar"), "showCalendar", QKeySequence(Qt::CTRL | Qt::Key_3),
               [this] { m_model.showCalendar(); });
    menu.addSeparator();
    addCommand(menu, tr("Previous Drawing"), "previousDrawing", QKeySequence(Qt::CTRL | Qt::Key_Up),
               [this] { m_model.step(-1); });
    addCommand(menu, tr("Next Drawing"), "nextDrawing", QKeySequence(Qt::CTRL | Qt::Key_Down),
               [this] { m_model.step(1); });
    menu.addSeparator();
    addCommand(menu, tr("Children…"), "children", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K),
               [this] { m_model.setChildrenShown(true); });
    m_showGuides = addCommand(menu, tr("Show Trim and Safe Lines"), "showGuides",
                              QKeySequence(Qt::CTRL | Qt::Key_G), [] {});
    m_showGuides->setCheckable(true);
    connect(m_showGuides, &QAction::toggled, this, [this](bool on) { m_model.setShowGuides(on); });
}

void AppCommands::buildDrawingMenu(QMenu& menu) {
    const auto selectionCommand = [&](const QString& title, const char* name, const QKeySequence& shortcut,
                                      std::function<void(AppModel&, const UUID&)> operation) {
        m_drawingActions << addCommand(menu, title, name, shortcut,
                                       [this, operation = std::move(operation)] {
                                           // The selection as it is when the command runs; none: nothing.
                                           if (const auto id = m_model.selectedID()) operation(m_model, *id);
                                       });
    };
    selectionCommand(tr("Rotate Right"), "rotateRight", QKeySequence(Qt::CTRL | Qt::Key_R),
                     [](AppModel& model, const UUID& id) { model.rotateRight(id); });
    selectionCommand(tr("Rotate Left"), "rotateLeft", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
                     [](AppModel& model, const UUID& id) { model.rotateLeft(id); });
    m_drawingActions << addCommand(menu, tr("Find Paper Edges Again"), "findPaperEdgesAgain",
                                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D),
                                   [this] { m_model.findPaperEdgesAgain(); });
    selectionCommand(tr("Use the Whole Photo"), "useWholePhoto", {},
                     [](AppModel& model, const UUID& id) { model.useWholePhoto(id); });
    selectionCommand(tr("Reset Cleanup"), "resetCleanup", {},
                     [](AppModel& model, const UUID& id) { model.resetCleanup(id); });
    menu.addSeparator();
    // Storing the cover is a document change even when the drawing already is the cover. A
    // calendar-only picture is not in the book and cannot be its cover.
    selectionCommand(tr("Use as Cover"), "useAsCover", {}, [](AppModel& model, const UUID& id) {
        if (!BookCover::canBeCover(model, id)) return;
        BookSettings settings = model.settings();
        settings.coverDrawing = id;
        model.setSettings(std::move(settings));
    });
    // Only asks; the main window removes the drawing once the user confirms.
    selectionCommand(tr("Remove from Book"), "removeFromBook", QKeySequence(Qt::CTRL | Qt::Key_Backspace),
                     [](AppModel& model, const UUID& id) { model.setRemoveConfirm(id); });
}

void AppCommands::refresh() {
    m_exportPrint->setText(m_model.mode() == ViewMode::calendar ? tr("Export Calendar…") : tr("Export Book…"));
    const bool hasDrawings = !m_model.drawings().empty();
    m_exportPrint->setEnabled(hasDrawings);
    m_exportHome->setEnabled(hasDrawings);
    const bool hasSelection = m_model.selected().has_value();
    m_showDrawing->setEnabled(hasSelection);
    for (QAction* action : std::as_const(m_drawingActions)) action->setEnabled(hasSelection);
    if (hasSelection && !BookCover::canBeCover(m_model, *m_model.selectedID())) {
        for (QAction* action : std::as_const(m_drawingActions)) {
            if (action->objectName() == QLatin1String("useAsCover")) action->setEnabled(false);
        }
    }
    const QSignalBlocker blocker(m_showGuides);
    m_showGuides->setChecked(m_model.showGuides());
}

}  // namespace quillfen
