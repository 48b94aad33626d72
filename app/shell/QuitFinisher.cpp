#include "app/shell/QuitFinisher.h"

#include "app/widgets/Spinner.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace quillfen {

namespace {

// A quit that finishes within this time shows nothing.
constexpr int noticeDelayMilliseconds = 1000;

bool anotherWindowVisible(const QWidget& window) {
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [&](const QWidget* other) {
        return other != &window && other->isVisible() && other->isWindow() &&
               other->windowType() != Qt::ToolTip && other->windowType() != Qt::Popup;
    });
}

}  // namespace

QuitFinisher::QuitFinisher(AppModel& model, QWidget& window, QObject* parent)
    : QObject(parent), m_model(model), m_window(window) {
    m_noticeDelay.setSingleShot(true);
    m_noticeDelay.setInterval(noticeDelayMilliseconds);
    connect(&m_noticeDelay, &QTimer::timeout, this, &QuitFinisher::showNotice);
    connect(&model, &AppModel::readyToQuit, this, [this] {
        m_ready = true;
        m_noticeDelay.stop();
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    qApp->installEventFilter(this);  // sees the window's events as well as the application's
}

bool QuitFinisher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && event->type() == QEvent::Resize && m_notice) m_notice->setGeometry(m_window.rect());
    if (m_ready) return false;
    if (watched == qApp && event->type() == QEvent::Quit) {
        begin();
        return true;
    }
    // Closing the main window while another window stays open quits nothing.
    if (watched == &m_window && event->type() == QEvent::Close && (m_begun || !anotherWindowVisible(m_window))) {
        event->ignore();
        begin();
        return true;
    }
    return false;
}

void QuitFinisher::begin() {
    if (m_begun) return;
    m_begun = true;
    Q_EMIT finishing();
    // A sheet over the window ends with the quit, wherever the quit came from.
    for (auto* sheet : m_window.findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        if (sheet->isVisible()) sheet->close();
    // The greyed window keeps empty fields' hints fainter than its greyed text, as they are while it works.
    QPalette palette = m_window.palette();
    QColor hint = palette.color(QPalette::Disabled, QPalette::Text);
    hint.setAlphaF(hint.alphaF() / 2);
    palette.setColor(QPalette::Disabled, QPalette::PlaceholderText, hint);
    m_window.setPalette(palette);
    m_window.setEnabled(false);
    m_noticeDelay.start();
    m_model.finishForQuit();
}

void QuitFinisher::showNotice() {
    m_window.show();  // quitting after the main window was closed: it comes back to say so
    m_notice = new QWidget(&m_window);
    m_notice->setObjectName(QStringLiteral("finishingNotice"));
    m_notice->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(m_notice);
    layout->setAlignment(Qt::AlignCenter);
    auto* spinner = new Spinner;
    spinner->setFixedSize(32, 32);
    layout->addWidget(spinner, 0, Qt::AlignHCenter);
    auto* heading = new QLabel(tr("Finishing…"));
    QFont font = heading->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    heading->setFont(font);
    layout->addWidget(heading, 0, Qt::AlignHCenter);
    auto* detail = new QLabel(tr("Quillfen is keeping the photos you added and the paper it found in them. "
                                 "It closes by itself when it is done."));
    detail->setWordWrap(true);
    detail->setAlignment(Qt::AlignCenter);
    detail->setMaximumWidth(420);
    layout->addWidget(detail, 0, Qt::AlignHCenter);
    // The window takes no input while it finishes, but the notice reads as usual.
    QPalette palette = m_notice->palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        palette.setColor(QPalette::Disabled, r, palette.color(QPalette::Active, r));
    }
    m_notice->setPalette(palette);
    m_notice->setGeometry(m_window.rect());
    m_notice->setAccessibleName(heading->text());
    m_notice->show();
    m_notice->raise();
}

}  // namespace quillfen
