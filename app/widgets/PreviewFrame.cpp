#include "app/widgets/PreviewFrame.h"

#include "app/widgets/SpokenSlider.h"
#include "app/widgets/WarningRow.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace quillfen {

namespace {

// The slider moves in tenths of a point, which reads as continuous; the keys move it a whole point, ten
// with Page Up and Page Down.
constexpr double sliderSteps = 10;
constexpr int keyStep = 10;
constexpr int pageStep = 100;

int sliderValue(double zoom) { return static_cast<int>(std::lround(zoom * sliderSteps)); }

QFrame* divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

void dim(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    label->setPalette(palette);
}

}  // namespace

PreviewFrame::PreviewFrame(AppModel& model, const PreviewFrameSetup& setup, QWidget* parent)
    : QWidget(parent), m_model(model), m_setup(setup), m_zoom(setup.zoom.stored()) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(16, 10, 16, 10);
    header->setSpacing(12);
    m_summary = new QLabel(this);
    dim(m_summary);
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);  // a long summary takes two lines when the pane is narrow
    m_summary->setMinimumWidth(m_summary->fontMetrics().horizontalAdvance(QStringLiteral("000 pages")));
    m_guides = new QCheckBox(tr("Trim and safe lines"), this);
    m_guides->setToolTip(
        setup.guidesTip.arg(QKeySequence(Qt::CTRL | Qt::Key_G).toString(QKeySequence::NativeText)));
    auto* sizeLabel = new QLabel(tr("Page size"), this);
    m_slider = new SpokenSlider(1 / sliderSteps, this);
    m_slider->setRange(static_cast<int>(setup.zoom.minimum * sliderSteps),
                       static_cast<int>(setup.zoom.maximum * sliderSteps));
    m_slider->setSingleStep(keyStep);
    m_slider->setPageStep(pageStep);
    m_slider->setFixedWidth(120);
    m_slider->setAccessibleName(tr("Preview size"));
    sizeLabel->setBuddy(m_slider);
    m_slider->setValue(sliderValue(m_zoom));
    m_slider->setSpokenValue(QString::number(std::lround(m_zoom)));
    header->addWidget(m_summary, 1);
    header->addWidget(m_guides);
    header->addWidget(sizeLabel);
    header->addWidget(m_slider);
    column->addLayout(header);
    column->addWidget(divider(this));

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette background = m_scroll->palette();
    background.setColor(QPalette::Window, background.color(QPalette::Window).darker(112));
    m_scroll->setPalette(background);
    m_scroll->viewport()->setAutoFillBackground(true);
    column->addWidget(m_scroll, 1);

    m_warningsDivider = divider(this);
    column->addWidget(m_warningsDivider);
    m_warnings = new QWidget(this);
    m_warningRows = new QVBoxLayout(m_warnings);
    m_warningRows->setContentsMargins(16, 10, 16, 10);
    m_warningRows->setSpacing(6);
    column->addWidget(m_warnings);

    connect(m_guides, &QCheckBox::toggled, &model, &AppModel::setShowGuides);
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) { setZoom(value / sliderSteps); });
    connect(&model, &AppModel::revisionChanged, this, &PreviewFrame::scheduleEvaluation);
    connect(&model, &AppModel::showGuidesChanged, this, &PreviewFrame::scheduleEvaluation);
}

void PreviewFrame::setGrid(QWidget* grid) {
    m_scroll->setWidget(grid);
    m_scroll->viewport()->installEventFilter(this);
    for (auto* bar : {m_scroll->verticalScrollBar(), m_scroll->horizontalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, &PreviewFrame::updateViewport);
        connect(bar, &QScrollBar::rangeChanged, this, &PreviewFrame::updateViewport);
    }
}

QString PreviewFrame::summary() const { return m_summary->text(); }

void PreviewFrame::setZoom(double zoom) {
    m_setup.zoom.store(zoom);
    m_zoom = m_setup.zoom.clamped(zoom);
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(sliderValue(m_zoom));
    }
    m_slider->setSpokenValue(QString::number(std::lround(m_zoom)));
    evaluate();
}

// Many changes can arrive in one pass of the event loop (an import, removing a child); the pane is
// evaluated once after them.
void PreviewFrame::scheduleEvaluation() {
    if (isAside()) {
        m_changedAside = true;
        return;
    }
    if (m_evaluationPending) return;
    m_evaluationPending = true;
    QMetaObject::invokeMethod(this, &PreviewFrame::evaluate, Qt::QueuedConnection);
}

void PreviewFrame::catchUp() {
    if (m_changedAside) evaluate();
}

void PreviewFrame::evaluate() {
    m_evaluationPending = false;
    m_changedAside = false;
    {
        const QSignalBlocker blocker(m_guides);
        m_guides->setChecked(m_model.showGuides());
    }
    refresh();
    updateViewport();
}

void PreviewFrame::setSummary(const QString& text) { m_summary->setText(text); }

void PreviewFrame::showWarnings(const std::vector<LayoutWarning>& warnings) {
    m_warningsDivider->setVisible(!warnings.empty());
    m_warnings->setVisible(!warnings.empty());
    if (warnings == m_shownWarnings) return;
    m_shownWarnings = warnings;
    while (auto* item = m_warningRows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const std::size_t listed = std::min(warnings.size(), m_setup.listedWarnings);
    for (std::size_t i = 0; i < listed; ++i) m_warningRows->addWidget(new WarningRow(warnings[i], m_warnings));
    if (m_setup.countsTheRest && warnings.size() > listed) {
        auto* more = new QLabel(tr("…and %1 more.").arg(warnings.size() - listed), m_warnings);
        dim(more);
        m_warningRows->addWidget(more);
    }
}

void PreviewFrame::updateViewport() {
    const QWidget* grid = m_scroll->widget();
    showViewport(QRect(-grid->pos(), m_scroll->viewport()->size()));
}

bool PreviewFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize) {
        QMetaObject::invokeMethod(this, &PreviewFrame::updateViewport, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void PreviewFrame::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QMetaObject::invokeMethod(this, &PreviewFrame::updateViewport, Qt::QueuedConnection);
}

}  // namespace quillfen
