#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace quillfen {

class AppModel;

// What the application menu opens besides the model's own commands: windows and services the shell
// keeps for the life of the process.
struct ShellCommands {
    std::function<void()> showSettings;
    std::function<void()> showMoreApps;
    std::function<void()> checkForUpdates;
};

// The main window's menu bar: every model operation with its shortcut, in "Quillfen", File, Book,
// Drawing and Help, following the model at once; Settings, Close Window and Quit also answer in every
// other window and sheet. Each action carries an object name for lookups. GUI thread only.
class AppCommands : public QObject {
    Q_OBJECT

public:
    // Builds the menus into the window's menu bar; lives as long as the window.
    AppCommands(AppModel& model, ShellCommands shell, QMainWindow& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Gives a window the commands that answer everywhere; menus and tooltips get none.
    void reach(QWidget& window) const;
    void buildApplicationMenu(QMenu& menu);
    void buildFileMenu(QMenu& menu);
    void buildBookMenu(QMenu& menu);
    void buildDrawingMenu(QMenu& menu);
    void refresh();

    AppModel& m_model;
    ShellCommands m_shell;
    QAction* m_exportPrint = nullptr;
    QAction* m_exportHome = nullptr;
    QAction* m_showDrawing = nullptr;
    QAction* m_showGuides = nullptr;
    QList<QAction*> m_drawingActions;
    QList<QAction*> m_everywhere;
};

}  // namespace quillfen
