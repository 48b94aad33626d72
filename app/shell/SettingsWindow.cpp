#include "app/shell/SettingsWindow.h"

#include "app/platform/WindowGeometry.h"
#include "app/shell/MoreAppsView.h"
#include "app/widgets/Icons.h"

#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quillfen {

namespace {

const QString tabKey = QStringLiteral("settingsTab");
const QString tags[] = {QStringLiteral("privacy"), QStringLiteral("more")};

QWidget* privacyTab() {
    const QString name = QStringLiteral("Quillfen");
    auto* group = new QFrame;
    group->setFrameShape(QFrame::StyledPanel);
    auto* rows = new QVBoxLayout(group);
    rows->setSpacing(12);
    const auto paragraph = [&](const QString& text, bool secondary) {
        auto* label = new QLabel(text);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        if (secondary) label->setForegroundRole(QPalette::PlaceholderText);
        rows->addWidget(label);
    };
    paragraph(SettingsWindow::tr("Your drawings stay on this computer. %1 keeps its own copy of each photo or "
                                 "scan you add (in its folder on this computer) and never changes the "
                                 "originals. Cleanup runs on this computer. Nothing is collected or sent "
                                 "anywhere.")
                  .arg(name),
              false);
    paragraph(SettingsWindow::tr("Photos you add come through a file picker: %1 reads only the files you "
                                 "choose and never changes them.")
                  .arg(name),
              true);
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(group);
    layout->addStretch();
    return tab;
}

}  // namespace

SettingsWindow::SettingsWindow(QWidget* parent) : QWidget(parent, Qt::Window), m_tabs(new QTabWidget) {
    setWindowTitle(tr("Settings"));
    m_tabs->addTab(privacyTab(), themeIcon(QStringLiteral("security-high")), tr("Privacy"));
    m_tabs->addTab(new MoreAppsView, themeIcon(QStringLiteral("view-app-grid-symbolic")), tr("More Apps"));
    m_tabs->setFixedSize(560, 460);
    const QString stored = QSettings().value(tabKey, tags[0]).toString();
    m_tabs->setCurrentIndex(stored == tags[1] ? 1 : 0);
    connect(m_tabs, &QTabWidget::currentChanged, this, [](int index) {
        if (index >= 0 && index < 2) QSettings().setValue(tabKey, tags[index]);
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void SettingsWindow::present(const QWidget* over) {
    if (!isVisible() && over) {
        adjustSize();
        const QScreen* screen = over->screen();
        move(WindowGeometry::centredOver(frameGeometry().size(), over->frameGeometry(),
                                         screen ? screen->availableGeometry() : over->frameGeometry())
                 .topLeft());
    }
    show();
    raise();
    activateWindow();
}

}  // namespace quillfen
