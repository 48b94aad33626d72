#include "app/shell/MainToolbar.h"

#include "app/widgets/Icons.h"
#include "app/widgets/Spinner.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QMenu>
#include <QToolButton>

namespace quillfen {

namespace {

QString keys(QKeyCombination combination) {
    return QKeySequence(combination).toString(QKeySequence::NativeText);
}

QWidget* stretch() {
    auto* spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return spacer;
}

}  // namespace

MainToolbar::MainToolbar(AppModel& model, QWidget* parent)
    : QToolBar(tr("Toolbar"), parent), m_model(model), m_add(new QToolButton), m_picker(new QWidget),
      m_modes(new QButtonGroup(this)), m_export(new QToolButton) {
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setContextMenuPolicy(Qt::PreventContextMenu);

    auto* menu = new QMenu(m_add);
    connect(menu->addAction(tr("From Photos…")), &QAction::triggered, this,
            [this] { m_model.setPhotosPickerShown(true); });
    connect(menu->addAction(tr("Files or Folder…")), &QAction::triggered, this, [this] { m_model.chooseFiles(); });
    m_add->setMenu(menu);
    m_add->setPopupMode(QToolButton::InstantPopup);
    m_add->setText(tr("Add Drawings"));
    m_add->setIcon(themeIcon(QStringLiteral("list-add")));
    m_add->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_add->setToolTip(tr("Add drawings from Photos, files or folders (%1, %2)")
                          .arg(keys(Qt::CTRL | Qt::SHIFT | Qt::Key_I), keys(Qt::CTRL | Qt::Key_O)));
    addWidget(m_add);
    addWidget(stretch());

    auto* segments = new QHBoxLayout(m_picker);
    segments->setContentsMargins(0, 0, 0, 0);
    segments->setSpacing(0);
    const std::pair<ViewMode, std::pair<QString, const char*>> modes[] = {
        {ViewMode::drawing, {tr("Drawing"), "applications-graphics"}},
        {ViewMode::book, {tr("Book"), "accessories-dictionary"}},
        {ViewMode::calendar, {tr("Calendar"), "x-office-calendar"}},
    };
    for (const auto& [mode, look] : modes) {
        auto* segment = new QToolButton;
        segment->setCheckable(true);
        segment->setAutoRaise(false);
        segment->setText(look.first);
        segment->setIcon(themeIcon(QString::fromLatin1(look.second)));
        segment->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        m_modes->addButton(segment, static_cast<int>(mode));
        segments->addWidget(segment);
    }
    m_picker->setAccessibleName(tr("View"));
    m_picker->setToolTip(tr("Edit a drawing (%1), see the whole book (%2) or make a calendar (%3)")
                             .arg(keys(Qt::CTRL | Qt::Key_1), keys(Qt::CTRL | Qt::Key_2), keys(Qt::CTRL | Qt::Key_3)));
    connect(m_modes, &QButtonGroup::idClicked, this, [this](int id) { choose(static_cast<ViewMode>(id)); });
    addWidget(m_picker);
    addWidget(stretch());

    auto* spinner = new Spinner;
    spinner->setToolTip(tr("Adding drawings…"));
    spinner->setAccessibleName(tr("Adding drawings…"));
    m_progress = addWidget(spinner);
    m_export->setText(tr("Export"));
    m_export->setIcon(themeIcon(QStringLiteral("document-send")));
    m_export->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(m_export, &QToolButton::clicked, this, [this] { m_model.requestExport(ExportKind::print); });
    addWidget(m_export);

    for (const auto signal : {&AppModel::modeChanged, &AppModel::drawingsChanged, &AppModel::importingChanged})
        connect(&model, signal, this, &MainToolbar::refresh);
    refresh();
}

QAbstractButton* MainToolbar::modeButton(ViewMode mode) const { return m_modes->button(static_cast<int>(mode)); }

void MainToolbar::choose(ViewMode mode) {
    if (mode == ViewMode::calendar) {
        m_model.showCalendar();
    } else if (m_model.mode() != mode) {
        m_model.setMode(mode);
    }
    refresh();  // a segment the model did not take shows the model's mode again
}

void MainToolbar::refresh() {
    const bool empty = m_model.drawings().empty();
    m_picker->setEnabled(!empty);
    m_export->setEnabled(!empty);
    modeButton(m_model.mode())->setChecked(true);
    m_progress->setVisible(m_model.importing() > 0);
    m_export->setToolTip(m_model.mode() == ViewMode::calendar
                             ? tr("Export the calendar as a PDF (%1)").arg(keys(Qt::CTRL | Qt::Key_E))
                             : tr("Export the book as a PDF (%1)").arg(keys(Qt::CTRL | Qt::Key_E)));
}

}  // namespace quillfen
