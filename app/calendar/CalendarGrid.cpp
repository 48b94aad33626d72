#include "app/calendar/CalendarGrid.h"

#include "app/calendar/CalendarPages.h"
#include "app/model/ImageConversion.h"
#include "engine/calendar/CalendarRenderer.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quillfen {

namespace {

constexpr double margin = 24;
constexpr double spacing = 24;     // between columns and between rows
constexpr double columnExtra = 8;  // a column is at least this much wider than a cell

}  // namespace

CalendarGrid::CalendarGrid(AppModel& model, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_layout(std::make_shared<CalendarLayout>()),
      m_content(std::make_shared<CalendarContent>()) {
    installAccessibleGrids();
}

void CalendarGrid::setCalendar(CalendarLayout layout, CalendarContent content, QSizeF cellSize,
                               std::int64_t revision) {
    auto sheets = CalendarPages::sheets(layout);
    // A page keeps its picture only while it stays on an equal sheet.
    std::vector<const std::vector<int>*> oldSheetOf(m_layout->pages.size(), nullptr);
    for (const auto& sheet : m_sheets) {
        for (int index : sheet) oldSheetOf[static_cast<std::size_t>(index)] = &sheet;
    }
    for (const auto& sheet : sheets) {
        for (int index : sheet) {
            const auto* old = index < static_cast<int>(oldSheetOf.size()) ? oldSheetOf[static_cast<std::size_t>(index)]
                                                                          : nullptr;
            if (!old || *old != sheet) m_pictures.forget(index, true);
        }
    }
    m_pictures.forgetFrom(static_cast<int>(layout.pages.size()));

    m_layout = std::make_shared<const CalendarLayout>(std::move(layout));
    m_content = std::make_shared<const CalendarContent>(std::move(content));
    m_cellSize = cellSize;
    m_revision = revision;
    m_sheets = std::move(sheets);
    arrange();
    update();
    announceCellsChanged(this);
}

void CalendarGrid::setViewport(QRect visible) {
    m_viewport = visible;
    requestRenders();
}

// Places the sheets in as many columns as the width allows; rows are as tall as their tallest sheet,
// and each sheet is centred in its column and row.
void CalendarGrid::arrange() {
    const double minimumColumn = m_cellSize.width() + columnExtra;
    const double available = width() - 2 * margin;
    const int columns = std::max(1, static_cast<int>(std::floor((available + spacing) / (minimumColumn + spacing))));
    const double column = std::max(minimumColumn, (available - (columns - 1) * spacing) / columns);
    m_sheetOrigins.assign(m_sheets.size(), QPointF());
    double top = margin;
    for (std::size_t first = 0; first < m_sheets.size(); first += static_cast<std::size_t>(columns)) {
        const std::size_t end = std::min(m_sheets.size(), first + static_cast<std::size_t>(columns));
        std::size_t tallest = 0;
        for (std::size_t s = first; s < end; ++s) tallest = std::max(tallest, m_sheets[s].size());
        const double rowHeight = static_cast<double>(tallest) * m_cellSize.height();
        for (std::size_t s = first; s < end; ++s) {
            const double sheetHeight = static_cast<double>(m_sheets[s].size()) * m_cellSize.height();
            const double left = margin + static_cast<double>(s - first) * (column + spacing);
            m_sheetOrigins[s] = {left + (column - m_cellSize.width()) / 2, top + (rowHeight - sheetHeight) / 2};
        }
        top += rowHeight + spacing;
    }
    const double height = m_sheets.empty() ? 0 : top - spacing + margin;
    setMinimumSize(static_cast<int>(std::ceil(2 * margin + minimumColumn)), static_cast<int>(std::ceil(height)));
}

QRectF CalendarGrid::sheetRect(std::size_t sheet) const {
    return {m_sheetOrigins[sheet],
            QSizeF(m_cellSize.width(), m_cellSize.height() * static_cast<double>(m_sheets[sheet].size()))};
}

QRectF CalendarGrid::cellRect(int index) const {
    for (std::size_t s = 0; s < m_sheets.size(); ++s) {
        const auto& sheet = m_sheets[s];
        const auto found = std::find(sheet.begin(), sheet.end(), index);
        if (found == sheet.end()) continue;
        const double row = static_cast<double>(found - sheet.begin());
        return {m_sheetOrigins[s] + QPointF(0, row * m_cellSize.height()), m_cellSize};
    }
    return {};
}

std::vector<int> CalendarGrid::visiblePages() const {
    std::vector<int> pages;
    for (int i = 0; i < static_cast<int>(m_layout->pages.size()); ++i) {
        if (cellRect(i).intersects(m_viewport)) pages.push_back(i);
    }
    return pages;
}

QImage CalendarGrid::image(int index) const { return m_pictures.picture(index); }

std::optional<PageKey> CalendarGrid::imageKey(int index) const { return m_pictures.pictureKey(index); }

QString CalendarGrid::cellText(int cell) const {
    return CalendarPages::accessibilityText(m_model, m_layout->pages[static_cast<std::size_t>(cell)]);
}

PageKey CalendarGrid::currentKey(int index) const { return key(index, m_model.revision()); }

PageKey CalendarGrid::key(int index, std::int64_t revision) const {
    return {revision, m_model.showGuides(), m_layout->pages[static_cast<std::size_t>(index)].number,
            wholePoints(m_cellSize.width())};
}

void CalendarGrid::requestRenders() {
    if (!isVisible() || m_viewport.isEmpty()) return;
    m_pictures.follow(
        m_viewport, static_cast<int>(m_layout->pages.size()), [this](int index) { return cellRect(index); },
        [this](int index) { render(index); });
}

// The key holds the revision the grid's content was built from: a scroll before a pending evaluation
// renders the older content, which must not pass for the newer one.
void CalendarGrid::render(int index) {
    const PageKey key = this->key(index, m_revision);
    const CalendarPage page = m_layout->pages[static_cast<std::size_t>(index)];
    const int pixelWidth = wholePoints(m_cellSize.width() * 2);
    m_pictures.render(
        index, key, m_model.editorPool(),
        [page, layout = m_layout, content = m_content, pixelWidth, guides = key.guides] {
            const auto bitmap = CalendarRenderer::thumbnail(page, *layout, *content, pixelWidth, guides);
            return bitmap ? rgbImage(*bitmap) : QImage();
        },
        [this, index] { update(cellRect(index).toAlignedRect().adjusted(-4, -4, 4, 6)); });
}

void CalendarGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (std::size_t s = 0; s < m_sheets.size(); ++s) {
        const QRectF sheet = sheetRect(s);
        if (!sheet.adjusted(-4, -4, 4, 6).intersects(event->rect())) continue;
        paintPageShadow(painter, sheet);
        for (int index : m_sheets[s]) {
            const QRectF rect = cellRect(index);
            const QImage shown = image(index);
            if (shown.isNull()) painter.fillRect(rect, Qt::white);
            else painter.drawImage(rect, shown);
        }
    }
}

void CalendarGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

}  // namespace quillfen
