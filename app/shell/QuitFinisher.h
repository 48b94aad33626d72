#pragma once

#include "app/model/AppModel.h"

#include <QObject>
#include <QTimer>

class QWidget;

namespace quillfen {

// Quitting waits for the work the document needs (AppModel::finishForQuit): the main window's sheets
// end, the window stays up, takes no input and, once that has taken longer than a second, says that
// Quillfen is finishing; the application quits when the model is ready. Catches every road to
// quitting: the Quit command, a termination signal and closing the last window. GUI thread only.
class QuitFinisher : public QObject {
    Q_OBJECT

public:
    QuitFinisher(AppModel& model, QWidget& window, QObject* parent = nullptr);

    // The panel that says Quillfen is finishing; null until it is shown.
    QWidget* notice() const { return m_notice; }

Q_SIGNALS:
    // Quitting has begun: nothing new may reach the model any more.
    void finishing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void begin();
    void showNotice();

    AppModel& m_model;
    QWidget& m_window;
    QTimer m_noticeDelay;
    QWidget* m_notice = nullptr;
    bool m_begun = false;
    bool m_ready = false;
};

}  // namespace quillfen
