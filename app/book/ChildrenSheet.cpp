#include "app/book/ChildrenSheet.h"

#include "app/book/ChildRow.h"
#include "app/widgets/WheelGuard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace quillfen {

namespace {

constexpr int listMinimum = 120;
constexpr int listMaximum = 360;

void dim(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    label->setPalette(palette);
}

}  // namespace

ChildrenSheet::ChildrenSheet(AppModel& model, QWidget* parent) : QDialog(parent), m_model(model) {
    setWindowTitle(tr("Children"));
    setFixedWidth(480);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(22, 22, 22, 22);
    column->setSpacing(12);

    auto* title = new QLabel(tr("Children"), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setWeight(QFont::DemiBold);
    title->setFont(titleFont);
    column->addWidget(title);
    auto* note = new QLabel(
        tr("A birthday fills in each drawing's age. The note shows on the child's \u201CAbout the artist\u201D page."),
        this);
    note->setWordWrap(true);
    dim(note);
    column->addWidget(note);
    m_empty = new QLabel(tr("No children yet."), this);
    m_empty->setContentsMargins(0, 20, 0, 20);
    dim(m_empty);
    column->addWidget(m_empty);

    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list = new QWidget(m_scroll);
    m_listColumn = new QVBoxLayout(m_list);
    m_listColumn->setContentsMargins(0, 0, 0, 0);
    m_listColumn->setSpacing(12);
    m_listColumn->addStretch(1);
    m_scroll->setWidget(m_list);
    m_list->installEventFilter(this);
    guardWheel(m_scroll);
    column->addWidget(m_scroll);

    auto* buttons = new QHBoxLayout;
    m_add = new QPushButton(tr("Add Child"), this);
    m_add->setAutoDefault(false);
    m_done = new QPushButton(tr("Done"), this);
    m_done->setDefault(true);
    buttons->addWidget(m_add);
    buttons->addStretch(1);
    buttons->addWidget(m_done);
    column->addLayout(buttons);

    connect(m_add, &QPushButton::clicked, this, [this] { reveal(m_model.addChild(tr("New artist"))); });
    connect(m_done, &QPushButton::clicked, this, &QDialog::accept);
    connect(this, &QDialog::finished, this, [this] { m_model.setChildrenShown(false); });
    connect(&model, &AppModel::childrenChanged, this, &ChildrenSheet::refresh);
    refresh();
}

bool ChildrenSheet::emptyNoteShown() const { return !m_empty->isHidden(); }

// Rows are identified by the child's id: when the ids keep their order, each row only shows its child's
// new values, so a field being typed in keeps its cursor.
void ChildrenSheet::refresh() {
    const auto& children = m_model.children();
    const bool sameRows = std::equal(children.begin(), children.end(), m_rows.begin(), m_rows.end(),
                                     [](const Child& c, const ChildRow* row) { return c.id == row->id(); });
    if (sameRows) {
        for (std::size_t i = 0; i < children.size(); ++i) m_rows[i]->setChild(children[i]);
    } else {
        std::vector<ChildRow*> rows;
        for (const auto& child : children) {
            const auto kept = std::find_if(m_rows.begin(), m_rows.end(),
                                           [&](const ChildRow* row) { return row->id() == child.id; });
            ChildRow* row = kept != m_rows.end() ? *kept : new ChildRow(m_model, child, m_list);
            if (kept != m_rows.end()) {
                m_rows.erase(kept);
                row->setChild(child);
            }
            rows.push_back(row);
        }
        // A removed child's row may be running its own trash button's click: it goes once that returns.
        for (ChildRow* gone : m_rows) {
            m_listColumn->removeWidget(gone);
            gone->hide();
            gone->deleteLater();
        }
        for (ChildRow* row : rows) m_listColumn->removeWidget(row);
        m_rows = std::move(rows);
        // Shown at once (a layout would show a new row only later), so that the list's height counts it.
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            m_listColumn->insertWidget(static_cast<int>(i), m_rows[i]);
            m_rows[i]->show();
        }
    }
    m_empty->setHidden(!children.empty());
    fitList();
}

// A row grows when its note wraps to more lines; the list and the sheet follow its new height, and the
// field being typed in stays in view once the list has placed the row anew.
bool ChildrenSheet::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::LayoutRequest) {
        fitList();
        QMetaObject::invokeMethod(this, &ChildrenSheet::keepFocusInView, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

void ChildrenSheet::keepFocusInView() {
    QWidget* field = focusWidget();
    if (!field || !m_list->isAncestorOf(field)) return;
    for (int pass = 0; pass < 3; ++pass) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    m_scroll->ensureWidgetVisible(field);  // the text cursor of a field that has one, with a margin
}

void ChildrenSheet::fitList() {
    const int height = std::clamp(m_listColumn->sizeHint().height(), listMinimum, listMaximum);
    if (m_scroll->height() == height && m_scroll->minimumHeight() == height) return;
    m_scroll->setFixedHeight(height);
    layout()->activate();
    resize(width(), sizeHint().height());
}

void ChildrenSheet::reveal(const UUID& id) {
    const auto row = std::find_if(m_rows.begin(), m_rows.end(), [&](const ChildRow* r) { return r->id() == id; });
    if (row == m_rows.end()) return;
    // The new row is placed through the layouts' posted requests (the row, the list, the scroll area):
    // settle them so that the list scrolls to where the row really is.
    for (int pass = 0; pass < 3; ++pass) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    m_scroll->ensureWidgetVisible(*row, 0, 0);
    (*row)->name().setFocus();
    (*row)->name().selectAll();
}

}  // namespace quillfen
