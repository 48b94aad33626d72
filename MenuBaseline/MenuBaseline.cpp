#include "MenuBaseline/MenuBaseline.h"

#include <utility>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "MenuBaseline/CloseGuard.h"
#include "MenuBaseline/MenuLocale.h"

namespace quillfen {

namespace {

const char* const closeWindowKey = QT_TRANSLATE_NOOP("MenuBaseline", "Close Window");
const char* const helpKey = QT_TRANSLATE_NOOP("MenuBaseline", "%1 Help");
const char* const fileMenuKey = QT_TRANSLATE_NOOP("MenuBaseline", "File");
const char* const helpMenuKey = QT_TRANSLATE_NOOP("MenuBaseline", "Help");

QString title(const char* key, const QString& language) {
    return MenuLocale::lookup(*MenuLocale::bundle(language), key);
}

QMenu* menuNamed(const QMenuBar& bar, const char* name) {
    for (QAction* action : bar.actions())
        if (QMenu* menu = action->menu(); menu && menu->objectName() == QLatin1String(name)) return menu;
    return nullptr;
}

QAction* actionNamed(const QMenu& menu, const char* name) {
    for (QAction* action : menu.actions())
        if (action->objectName() == QLatin1String(name)) return action;
    return nullptr;
}

QMenu* fileMenu(QMenuBar& bar, const QString& language) {
    if (QMenu* menu = menuNamed(bar, MenuBaseline::fileMenuName)) return menu;
    auto* menu = new QMenu(title(fileMenuKey, language), &bar);
    menu->setObjectName(MenuBaseline::fileMenuName);
    const QList<QAction*> menus = bar.actions();
    bar.insertMenu(menus.isEmpty() ? nullptr : menus.first(), menu);
    return menu;
}

QMenu* helpMenu(QMenuBar& bar, const QString& language) {
    if (QMenu* menu = menuNamed(bar, MenuBaseline::helpMenuName)) return menu;
    auto* menu = bar.addMenu(title(helpMenuKey, language));
    menu->setObjectName(MenuBaseline::helpMenuName);
    return menu;
}

QAction* command(const QString& text, const QKeySequence& shortcut, std::function<void()> run, QMenu& owner) {
    auto* action = new QAction(text, &owner);
    action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, action, [run = std::move(run)] {
        if (run) run();
    });
    return action;
}

}  // namespace

const CloseWindowAction CloseWindowAction::closeKeyWindow{[] {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    if (QWidget* window = QApplication::activeWindow()) window->close();
}};

const CloseWindowAction CloseWindowAction::guardedClose{[] { CloseGuard::shared().closeFrontWindow(); }};

MenuHelp::MenuHelp(QString appName, QKeySequence shortcut, std::function<void()> action)
    : appName(std::move(appName)), shortcut(std::move(shortcut)), action(std::move(action)) {}

MenuHelp::MenuHelp(QString appName, QUrl url)
    : MenuHelp(std::move(appName), QKeySequence(),
               [url = std::move(url)] { QDesktopServices::openUrl(url); }) {}

QString MenuHelp::title(const QString& language) const {
    return quillfen::title(helpKey, language).arg(appName);
}

QString MenuHelp::title() const {
    return title(MenuLocale::language());
}

MenuBaseline::MenuBaseline(CloseWindowAction close, std::optional<MenuHelp> help)
    : close(std::move(close)), help(std::move(help)) {}

MenuBaseline::MenuBaseline(CloseWindowAction close, MenuHelp help, QList<QAction*> helpItems)
    : close(std::move(close)), help(std::move(help)), helpItems(std::move(helpItems)) {}

QString MenuBaseline::closeWindowTitle(const QString& language) {
    return title(closeWindowKey, language);
}

void MenuBaseline::install(QMenuBar& bar) const {
    const QString& language = MenuLocale::language();

    QMenu& file = *fileMenu(bar, language);
    delete actionNamed(file, closeWindowName);
    QAction* closeWindow =
        command(closeWindowTitle(language), QKeySequence(Qt::CTRL | Qt::Key_W), close.run, file);
    closeWindow->setObjectName(closeWindowName);
    closeWindow->setShortcutContext(Qt::ApplicationShortcut);  // closes whichever window is in front
    file.insertAction(actionNamed(file, saveGroupName), closeWindow);

    if (!help) return;
    QMenu& menu = *helpMenu(bar, language);
    for (QAction* item : helpItems) menu.removeAction(item);  // so that clearing cannot delete them
    menu.clear();
    menu.addAction(command(help->title(language), help->shortcut, help->action, menu));
    menu.addActions(helpItems);
}

}  // namespace quillfen
