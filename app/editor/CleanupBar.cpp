#include "app/editor/CleanupBar.h"

#include "app/editor/EditorTexts.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace quillfen {

namespace {

// Slider positions: straightening in half degrees, whitening in thousandths, which drag smoothly; the
// keys move the whitening a whole percent, ten with Page Up and Page Down.
constexpr double straightenStep = 0.5;
constexpr double whitenStep = 0.001;
constexpr int whitenKeyStep = 10;
constexpr int whitenPageStep = 100;

QString shortcutText(const QKeySequence& keys) {
    return keys.toString(QKeySequence::NativeText);
}

QToolButton* iconButton(const QString& icon, const QString& name, const QString& help, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setIcon(QIcon::fromTheme(icon));
    button->setAccessibleName(name);
    button->setToolTip(help);
    return button;
}

QFont captionFont(const QWidget* widget) {
    QFont font = widget->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    font.setStyleHint(QFont::Monospace, QFont::PreferDefault);
    return font;
}

// A caption above a slider that is 100 to 150 pixels wide, as one column.
QWidget* sliderColumn(QLabel* label, QSlider* slider, QWidget* parent) {
    auto* column = new QWidget(parent);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    label->setFont(captionFont(label));
    slider->setMinimumWidth(100);
    slider->setMaximumWidth(150);
    slider->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addWidget(label);
    layout->addWidget(slider);
    return column;
}

}  // namespace

CleanupBar::CleanupBar(AppModel& model, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_straightenSlider(new SpokenSlider(straightenStep, this)),
      m_whitenSlider(new SpokenSlider(whitenStep * 100, this)),
      m_straightenLabel(new QLabel(this)),
      m_whitenLabel(new QLabel(this)),
      m_flatten(new QCheckBox(tr("Even out lighting"), this)),
      m_grid(new QGridLayout(this)),
      m_rotation(new QWidget(this)),
      m_crop(new QToolButton(this)) {
    m_grid->setContentsMargins(16, 10, 16, 10);
    m_grid->setHorizontalSpacing(18);
    m_grid->setVerticalSpacing(6);

    auto* rotation = new QHBoxLayout(m_rotation);
    rotation->setContentsMargins(0, 0, 0, 0);
    rotation->setSpacing(4);
    auto* left = iconButton(QStringLiteral("object-rotate-left"), tr("Rotate left"),
                            tr("Rotate left (%1)").arg(shortcutText(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R))),
                            m_rotation);
    auto* right = iconButton(QStringLiteral("object-rotate-right"), tr("Rotate right"),
                             tr("Rotate right (%1)").arg(shortcutText(QKeySequence(Qt::CTRL | Qt::Key_R))), m_rotation);
    connect(left, &QToolButton::clicked, this, [this] { onSelected(&AppModel::rotateLeft); });
    connect(right, &QToolButton::clicked, this, [this] { onSelected(&AppModel::rotateRight); });
    rotation->addWidget(left);
    rotation->addWidget(right);

    m_straightenSlider->setRange(-30, 30);
    m_straightenSlider->setAccessibleName(tr("Straighten"));
    m_straightenColumn = sliderColumn(m_straightenLabel, m_straightenSlider, this);
    connect(m_straightenSlider, &QSlider::valueChanged, this, [this](int position) {
        m_straighten = position * straightenStep;
        showValues();
        if (!m_straightenSlider->isSliderDown()) commitStraighten();  // keys and clicks on the groove
    });
    connect(m_straightenSlider, &QSlider::sliderReleased, this, &CleanupBar::commitStraighten);

    m_flatten->setToolTip(tr("Removes shadows and uneven light across the paper"));
    connect(m_flatten, &QCheckBox::toggled, this, [this](bool on) {
        if (m_id) m_model.setFlatten(*m_id, on);
    });

    m_whitenSlider->setRange(0, 1000);
    m_whitenSlider->setSingleStep(whitenKeyStep);
    m_whitenSlider->setPageStep(whitenPageStep);
    m_whitenSlider->setAccessibleName(tr("Whiten paper"));
    m_whitenColumn = sliderColumn(m_whitenLabel, m_whitenSlider, this);
    connect(m_whitenSlider, &QSlider::valueChanged, this, [this](int position) {
        m_whiten = position * whitenStep;
        showValues();
        if (!m_whitenSlider->isSliderDown()) commitWhiten();
    });
    connect(m_whitenSlider, &QSlider::sliderReleased, this, &CleanupBar::commitWhiten);

    m_crop->setText(tr("Crop"));
    m_crop->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(m_crop);
    menu->addAction(tr("Find Paper Edges Again"), this, [this] { m_model.findPaperEdgesAgain(); });
    menu->addAction(tr("Use the Whole Photo"), this, [this] {
        if (m_id) m_model.useWholePhoto(*m_id);
    });
    menu->addSeparator();
    menu->addAction(tr("Reset Cleanup"), this, [this] { onSelected(&AppModel::resetCleanup); });
    m_crop->setMenu(menu);

    arrange(true);
    syncSliders();
}

QSize CleanupBar::minimumSizeHint() const {
    const QMargins margins = m_grid->contentsMargins();
    int width = margins.left() + margins.right() + 3 * m_grid->horizontalSpacing();
    for (const QWidget* group : {m_rotation, m_straightenColumn, m_whitenColumn, static_cast<QWidget*>(m_crop)})
        width += group->minimumSizeHint().width();
    return {width, QWidget::minimumSizeHint().height()};
}

void CleanupBar::resizeEvent(QResizeEvent* event) {
    const QMargins margins = m_grid->contentsMargins();
    int oneLine = margins.left() + margins.right() + 4 * m_grid->horizontalSpacing();
    for (const QWidget* group : {m_rotation, m_straightenColumn, static_cast<QWidget*>(m_flatten), m_whitenColumn,
                                 static_cast<QWidget*>(m_crop)})
        oneLine += group->minimumSizeHint().width();
    arrange(event->size().width() >= oneLine);
    QWidget::resizeEvent(event);
}

void CleanupBar::arrange(bool oneLine) {
    if (m_oneLine == oneLine && m_grid->count() > 0) return;
    m_oneLine = oneLine;
    for (QWidget* group : {m_rotation, m_straightenColumn, static_cast<QWidget*>(m_flatten), m_whitenColumn,
                           static_cast<QWidget*>(m_crop)})
        m_grid->removeWidget(group);
    for (int column = 0; column < 5; ++column) m_grid->setColumnStretch(column, 0);
    // The sliders grow to their full width first; what is left goes before the crop menu.
    m_grid->addWidget(m_rotation, 0, 0);
    m_grid->addWidget(m_straightenColumn, 0, 1);
    if (oneLine) {
        m_grid->addWidget(m_flatten, 0, 2);
        m_grid->addWidget(m_whitenColumn, 0, 3);
        m_grid->addWidget(m_crop, 0, 4, Qt::AlignRight);
        for (const int column : {1, 3, 4}) m_grid->setColumnStretch(column, 1);
    } else {
        m_grid->addWidget(m_whitenColumn, 0, 2);
        m_grid->addWidget(m_crop, 0, 3, Qt::AlignRight);
        m_grid->addWidget(m_flatten, 1, 1, 1, 2);
        for (const int column : {1, 2, 3}) m_grid->setColumnStretch(column, 1);
    }
}

void CleanupBar::setDrawing(const Drawing& drawing) {
    const bool changed = m_id != drawing.info.id || m_cleanup != drawing.info.cleanup;
    m_id = drawing.info.id;
    m_cleanup = drawing.info.cleanup;
    if (changed) syncSliders();
}

void CleanupBar::syncSliders() {
    const CleanupSettings cleanup = m_cleanup.value_or(CleanupSettings{});
    m_straighten = m_cleanup ? cleanup.straighten : 0;
    m_whiten = m_cleanup ? cleanup.whiten : 0.6;
    const QSignalBlocker blockStraighten(m_straightenSlider);
    const QSignalBlocker blockWhiten(m_whitenSlider);
    const QSignalBlocker blockFlatten(m_flatten);
    const auto position = [](double value, double step, double low, double high) {
        return std::isfinite(value) ? static_cast<int>(std::lround(std::clamp(value / step, low, high))) : 0;
    };
    m_straightenSlider->setValue(position(m_straighten, straightenStep, -30, 30));
    m_whitenSlider->setValue(position(m_whiten, whitenStep, 0, 1000));
    m_flatten->setChecked(cleanup.flatten);
    showValues();
}

void CleanupBar::showValues() {
    const QString degrees = EditorTexts::degreesText(m_straighten);
    m_straightenLabel->setText(tr("Straighten %1°").arg(degrees));
    m_straightenSlider->setSpokenValue(tr("%1 degrees").arg(degrees));
    m_whitenLabel->setText(EditorTexts::whitenLabel(m_whiten));
    m_whitenSlider->setSpokenValue(tr("%1 percent").arg(EditorTexts::whitenPercent(m_whiten)));
}

void CleanupBar::commitStraighten() {
    if (!m_id) return;
    const double value = m_straighten;
    m_model.update(*m_id, [value](DrawingInfo& info) { info.cleanup.straighten = value; });
}

void CleanupBar::commitWhiten() {
    if (!m_id) return;
    const double value = m_whiten;
    m_model.update(*m_id, [value](DrawingInfo& info) { info.cleanup.whiten = value; });
}

void CleanupBar::onSelected(void (AppModel::*operation)(UUID)) {
    if (const auto id = m_model.selectedID()) (m_model.*operation)(*id);
}

}  // namespace quillfen
