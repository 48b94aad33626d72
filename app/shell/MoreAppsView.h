#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>

namespace quillfen {

// The list of the maker's other applications: one row per application, then a row that leads to the
// maker's page of all of them, then a caption saying where the links open. Choosing a row hands its
// link to `openURL` (the user's browser unless replaced). GUI thread only.
class MoreAppsView : public QWidget {
    Q_OBJECT

public:
    explicit MoreAppsView(QWidget* parent = nullptr);

    std::function<void(const QUrl&)> openURL;
};

// The one "More Mac Apps" window: created on first show, centred then, and afterwards only hidden by
// its close button, so it comes back where the user left it. GUI thread only.
class MoreAppsWindow {
public:
    MoreAppsWindow() = default;
    ~MoreAppsWindow();
    MoreAppsWindow(const MoreAppsWindow&) = delete;
    MoreAppsWindow& operator=(const MoreAppsWindow&) = delete;

    void show();
    QWidget* window() const { return m_window; }

private:
    QPointer<QWidget> m_window;
};

}  // namespace quillfen
