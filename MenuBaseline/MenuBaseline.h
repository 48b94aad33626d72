#pragma once

#include <functional>
#include <optional>

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QUrl>

class QAction;
class QMenuBar;

namespace quillfen {

// What the Close Window command does. A value; its function runs on the main thread.
struct CloseWindowAction {
    std::function<void()> run;

    // Asks the active window to close as if its close button had been clicked; nothing without one.
    static const CloseWindowAction closeKeyWindow;
    // Lets the shared CloseGuard decide for the guarded main window.
    static const CloseWindowAction guardedClose;
};

// The single item of the Help menu, titled with the application's name followed by " Help".
struct MenuHelp {
    QString appName;
    QKeySequence shortcut;  // empty: none
    std::function<void()> action;

    MenuHelp(QString appName, QKeySequence shortcut, std::function<void()> action);
    // An item without a shortcut that opens a web page in the user's browser.
    MenuHelp(QString appName, QUrl url);

    // The item's title in a language of MenuLocale; English when the language has no entry.
    QString title(const QString& language) const;
    QString title() const;  // in MenuLocale::language()
};

// Installs two commands into a window's menu bar: "Close Window" (Ctrl+W) in the File menu,
// and, with a MenuHelp, a Help menu holding only the help item and the extra items after it.
// A value; install on the main thread.
struct MenuBaseline {
    // The bar's File and Help menus are the menus with these object names; the File menu's save
    // group starts at its action with the saveGroup object name.
    static constexpr const char* fileMenuName = "fileMenu";
    static constexpr const char* helpMenuName = "helpMenu";
    static constexpr const char* saveGroupName = "saveGroup";
    static constexpr const char* closeWindowName = "closeWindow";

    CloseWindowAction close;
    std::optional<MenuHelp> help;  // none: the Help menu is left as it is
    QList<QAction*> helpItems;     // the caller's; shown after the help item

    explicit MenuBaseline(CloseWindowAction close = CloseWindowAction::closeKeyWindow,
                          std::optional<MenuHelp> help = std::nullopt);
    MenuBaseline(CloseWindowAction close, MenuHelp help, QList<QAction*> helpItems);

    // Close Window goes just before the save group, or at the end of the File menu when it has
    // none; a bar without a File menu gets one in front. Installing again replaces the earlier
    // Close Window command.
    void install(QMenuBar& bar) const;

    static QString closeWindowTitle(const QString& language);
};

}  // namespace quillfen
