#pragma once

#include <QWidget>

class QTabWidget;

namespace quillfen {

// The settings window: a Privacy tab and the list of the maker's other applications. The chosen tab is
// kept in the settings under "settingsTab" ("privacy" or "more"), so the window reopens on it, also
// after a relaunch; an unknown value shows the first tab. A window of its own. GUI thread only.
class SettingsWindow : public QWidget {
    Q_OBJECT

public:
    explicit SettingsWindow(QWidget* parent = nullptr);

    // Shows the window, or brings it to the front; a window not shown yet opens centred over `over`.
    void present(const QWidget* over = nullptr);

private:
    QTabWidget* m_tabs;
};

}  // namespace quillfen
