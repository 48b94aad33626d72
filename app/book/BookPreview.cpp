#include "app/book/BookPreview.h"

#include "app/book/BookCover.h"
#include "app/book/BookPages.h"
#include "app/book/PageGrid.h"
#include "app/book/WarningRow.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>

#include <cmath>

namespace quillfen {

namespace {

// The slider moves in tenths of a point, which reads as continuous.
constexpr double sliderSteps = 10;

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

BookPreview::BookPreview(AppModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_zoom(BookPages::storedZoom()) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(16, 10, 16, 10);
    header->setSpacing(12);
    m_summary = new QLabel(this);
    dim(m_summary);
    m_summary->setTextFormat(Qt::PlainText);
    m_guides = new QCheckBox(tr("Trim and safe lines"), this);
    m_guides->setToolTip(tr("Red: where the page is cut. Blue: keep drawings and words inside (%1). Not printed.")
                             .arg(QKeySequence(Qt::CTRL | Qt::Key_G).toString(QKeySequence::NativeText)));
    auto* sizeLabel = new QLabel(tr("Page size"), this);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(static_cast<int>(BookPages::minimumZoom * sliderSteps),
                       static_cast<int>(BookPages::maximumZoom * sliderSteps));
    m_slider->setFixedWidth(120);
    m_slider->setAccessibleName(tr("Preview size"));
    sizeLabel->setBuddy(m_slider);
    m_slider->setValue(static_cast<int>(std::lround(m_zoom * sliderSteps)));
    header->addWidget(m_summary);
    header->addStretch(1);
    header->addWidget(m_guides);
    header->addWidget(sizeLabel);
    header->addWidget(m_slider);
    column->addLayout(header);
    column->addWidget(divider(this));

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_grid = new PageGrid(model, m_scroll);
    QPalette background = m_scroll->palette();
    background.setColor(QPalette::Window, background.color(QPalette::Window).darker(112));
    m_scroll->setPalette(background);
    m_scroll->viewport()->setAutoFillBackground(true);
    m_scroll->setWidget(m_grid);
    m_scroll->viewport()->installEventFilter(this);
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
    for (auto* bar : {m_scroll->verticalScrollBar(), m_scroll->horizontalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, &BookPreview::updateViewport);
        connect(bar, &QScrollBar::rangeChanged, this, &BookPreview::updateViewport);
    }
    connect(&model, &AppModel::revisionChanged, this, &BookPreview::scheduleEvaluation);
    connect(&model, &AppModel::showGuidesChanged, this, &BookPreview::scheduleEvaluation);
    evaluate();
}

QString BookPreview::summary() const { return m_summary->text(); }

void BookPreview::setZoom(double zoom) {
    BookPages::storeZoom(zoom);
    m_zoom = BookPages::clampedZoom(zoom);
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(static_cast<int>(std::lround(m_zoom * sliderSteps)));
    }
    evaluate();
}

// Many changes can arrive in one pass of the event loop (an import, removing a child); the pane is
// evaluated once after them.
void BookPreview::scheduleEvaluation() {
    if (m_evaluationPending) return;
    m_evaluationPending = true;
    QMetaObject::invokeMethod(this, &BookPreview::evaluate, Qt::QueuedConnection);
}

void BookPreview::evaluate() {
    m_evaluationPending = false;
    auto layout = m_model.layout();
    auto content = BookCover::previewContent(m_model);
    m_summary->setText(BookPages::pageCountSummary(layout, m_model.settings().preset));
    {
        const QSignalBlocker blocker(m_guides);
        m_guides->setChecked(m_model.showGuides());
    }
    showWarnings(layout.warnings);
    const QSizeF cell = BookPages::cellSize(layout, m_zoom);
    m_grid->setBook(std::move(layout), std::move(content), cell);
    updateViewport();
}

void BookPreview::showWarnings(const std::vector<LayoutWarning>& warnings) {
    if (warnings == m_shownWarnings && m_warningRows->count() > 0) return;
    m_shownWarnings = warnings;
    while (auto* item = m_warningRows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_warningsDivider->setVisible(!warnings.empty());
    m_warnings->setVisible(!warnings.empty());
    const std::size_t shown = std::min<std::size_t>(warnings.size(), 4);
    for (std::size_t i = 0; i < shown; ++i) m_warningRows->addWidget(new WarningRow(warnings[i], m_warnings));
    if (warnings.size() > 4) {
        auto* more = new QLabel(tr("…and %1 more.").arg(warnings.size() - 4), m_warnings);
        dim(more);
        m_warningRows->addWidget(more);
    }
}

void BookPreview::updateViewport() {
    m_grid->setViewport(QRect(-m_grid->pos(), m_scroll->viewport()->size()));
}

bool BookPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize) {
        QMetaObject::invokeMethod(this, &BookPreview::updateViewport, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void BookPreview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QMetaObject::invokeMethod(this, &BookPreview::updateViewport, Qt::QueuedConnection);
}

}  // namespace quillfen
