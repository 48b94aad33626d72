#include "app/calendar/CalendarPreview.h"

#include "app/calendar/CalendarGrid.h"
#include "app/calendar/CalendarPages.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
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
constexpr std::size_t shownWarnings = 3;

QFrame* divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// One warning: the warning symbol and its text unchanged, red when severe and orange otherwise.
QWidget* warningRow(const LayoutWarning& warning, QWidget* parent) {
    auto* row = new QWidget(parent);
    QPalette palette = row->palette();
    palette.setColor(QPalette::WindowText, warning.severe ? QColor(Qt::red) : QColor(255, 149, 0));
    row->setPalette(palette);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* symbol = new QLabel(row);
    const int side = row->fontMetrics().height();
    symbol->setPixmap(QIcon::fromTheme(QStringLiteral("dialog-warning")).pixmap(side, side));
    auto* text = new QLabel(QString::fromStdString(warning.text), row);
    text->setObjectName(QStringLiteral("warningText"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    layout->addWidget(symbol, 0, Qt::AlignTop);
    layout->addWidget(text, 1);
    row->setAccessibleName(text->text());
    return row;
}

}  // namespace

CalendarPreview::CalendarPreview(AppModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_zoom(CalendarPages::storedZoom()) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(16, 10, 16, 10);
    header->setSpacing(12);
    m_summary = new QLabel(this);
    m_summary->setTextFormat(Qt::PlainText);
    QPalette dimmed = m_summary->palette();
    dimmed.setColor(QPalette::WindowText, dimmed.color(QPalette::PlaceholderText));
    m_summary->setPalette(dimmed);
    m_guides = new QCheckBox(tr("Trim and safe lines"), this);
    m_guides->setToolTip(tr("Red: where the page is cut. Blue: keep pictures and words inside (%1). Not printed.")
                             .arg(QKeySequence(Qt::CTRL | Qt::Key_G).toString(QKeySequence::NativeText)));
    auto* sizeLabel = new QLabel(tr("Page size"), this);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(static_cast<int>(CalendarPages::minimumZoom * sliderSteps),
                       static_cast<int>(CalendarPages::maximumZoom * sliderSteps));
    m_slider->setFixedWidth(120);
    m_slider->setAccessibleName(tr("Preview size"));
    m_slider->setValue(static_cast<int>(std::lround(m_zoom * sliderSteps)));
    sizeLabel->setBuddy(m_slider);
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
    m_grid = new CalendarGrid(model, m_scroll);
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
        connect(bar, &QScrollBar::valueChanged, this, &CalendarPreview::updateViewport);
        connect(bar, &QScrollBar::rangeChanged, this, &CalendarPreview::updateViewport);
    }
    connect(&model, &AppModel::revisionChanged, this, &CalendarPreview::scheduleEvaluation);
    connect(&model, &AppModel::showGuidesChanged, this, &CalendarPreview::scheduleEvaluation);
    evaluate();
}

QString CalendarPreview::summary() const { return m_summary->text(); }

QStringList CalendarPreview::warningTexts() const {
    QStringList texts;
    for (const auto* label : m_warnings->findChildren<QLabel*>(QStringLiteral("warningText"))) texts << label->text();
    return texts;
}

void CalendarPreview::setZoom(double zoom) {
    CalendarPages::storeZoom(zoom);
    m_zoom = CalendarPages::clampedZoom(zoom);
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(static_cast<int>(std::lround(m_zoom * sliderSteps)));
    }
    evaluate();
}

// Many changes can arrive in one pass of the event loop (an import, a removed drawing); the pane is
// evaluated once after them.
void CalendarPreview::scheduleEvaluation() {
    if (m_evaluationPending) return;
    m_evaluationPending = true;
    QMetaObject::invokeMethod(this, &CalendarPreview::evaluate, Qt::QueuedConnection);
}

void CalendarPreview::evaluate() {
    m_evaluationPending = false;
    auto layout = m_model.calendarLayout();
    auto content = m_model.calendarContent();
    m_summary->setText(CalendarPages::summaryText(layout, m_model.calendar()));
    {
        const QSignalBlocker blocker(m_guides);
        m_guides->setChecked(m_model.showGuides());
    }
    showWarnings(layout.warnings);
    const QSizeF cell = CalendarPages::cellSize(layout, m_zoom);
    m_grid->setCalendar(std::move(layout), std::move(content), cell);
    updateViewport();
}

void CalendarPreview::showWarnings(const std::vector<LayoutWarning>& warnings) {
    const std::vector<LayoutWarning> first(warnings.begin(),
                                           warnings.begin() + static_cast<std::ptrdiff_t>(
                                                                  std::min(warnings.size(), shownWarnings)));
    if (first == m_shownWarnings && m_warningRows->count() == static_cast<int>(first.size())) {
        m_warningsDivider->setVisible(!first.empty());
        m_warnings->setVisible(!first.empty());
        return;
    }
    m_shownWarnings = first;
    while (auto* item = m_warningRows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_warningsDivider->setVisible(!first.empty());
    m_warnings->setVisible(!first.empty());
    for (const auto& warning : first) m_warningRows->addWidget(warningRow(warning, m_warnings));
}

void CalendarPreview::updateViewport() {
    m_grid->setViewport(QRect(-m_grid->pos(), m_scroll->viewport()->size()));
}

bool CalendarPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize) {
        QMetaObject::invokeMethod(this, &CalendarPreview::updateViewport, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void CalendarPreview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QMetaObject::invokeMethod(this, &CalendarPreview::updateViewport, Qt::QueuedConnection);
}

}  // namespace quillfen
