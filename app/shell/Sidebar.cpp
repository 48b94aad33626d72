#include "app/shell/Sidebar.h"

#include "app/shell/DrawingListModel.h"
#include "app/shell/DrawingRowDelegate.h"
#include "app/shell/LayoutCache.h"
#include "app/shell/ShellTexts.h"
#include "app/shell/SidebarCards.h"
#include "app/widgets/BookCover.h"
#include "app/widgets/Icons.h"
#include "app/widgets/ScaledPictures.h"

#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace quillfen {

namespace {

QFrame* divider() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QColor swatchColor(CoverColor color) {
    const auto c = rgb(color);
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green), static_cast<float>(c.blue));
}

// A card's leading picture: the theme's calendar icon in the accent colour, in a 44 × 34 frame.
QLabel* calendarIcon(const QPalette& palette) {
    auto* label = new QLabel;
    label->setFixedSize(44, 34);
    label->setAlignment(Qt::AlignCenter);
    QPixmap pixmap = themeIcon(QStringLiteral("x-office-calendar")).pixmap(22, 22);
    if (!pixmap.isNull()) {
        QPainter tint(&pixmap);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(pixmap.rect(), palette.color(QPalette::Highlight));
    }
    label->setPixmap(pixmap);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

}  // namespace

void DrawingListView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Delete) || event->key() == Qt::Key_Backspace) {
        Q_EMIT deleteRequested();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

Sidebar::Sidebar(AppModel& model, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_swatch(new CoverSwatch),
      m_list(new DrawingListView),
      m_rows(new DrawingListModel(this)),
      m_delegate(new DrawingRowDelegate(this)),
      m_footer(new QLabel),
      m_childrenButton(new QPushButton(tr("Children…"))) {
    m_bookCard = new SidebarCard(m_swatch, QMargins(10, 10, 10, 10));
    m_bookCard->setAccessibleDescription(tr("Shows the book preview and its settings"));
    m_calendarCard = new SidebarCard(calendarIcon(palette()), QMargins(10, 6, 10, 6));
    m_calendarCard->setAccessibleDescription(tr("Shows the calendar preview and its settings"));

    m_list->setModel(m_rows);
    m_list->setItemDelegate(m_delegate);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(false);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setAccessibleName(tr("Drawings"));

    m_footer->setTextFormat(Qt::PlainText);
    m_footer->setForegroundRole(QPalette::PlaceholderText);
    QFont small = m_footer->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_footer->setFont(small);
    m_childrenButton->setFont(small);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* cards = new QVBoxLayout;
    cards->setContentsMargins(8, 8, 8, 8);
    cards->setSpacing(8);  // the calendar card's own top padding is none: the book card's 8 points
    cards->addWidget(m_bookCard);
    cards->addWidget(m_calendarCard);
    column->addLayout(cards);
    column->addWidget(divider());
    column->addWidget(m_list, 1);
    column->addWidget(divider());
    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(12, 8, 12, 8);
    footer->addWidget(m_footer);
    footer->addStretch(1);
    footer->addWidget(m_childrenButton);
    column->addLayout(footer);

    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &Sidebar::refresh);
    const auto documentChanged = [this] {
        m_documentChanged = true;
        m_refresh.start();
    };
    connect(&model, &AppModel::revisionChanged, this, documentChanged);
    connect(&model, &AppModel::drawingsChanged, this, documentChanged);
    connect(&model, &AppModel::modeChanged, &m_refresh, qOverload<>(&QTimer::start));
    connect(&model, &AppModel::selectedIDChanged, &m_refresh, qOverload<>(&QTimer::start));

    connect(m_delegate->thumbnails(), &ScaledPictures::ready, m_list->viewport(), qOverload<>(&QWidget::update));

    m_spin.setInterval(80);
    connect(&m_spin, &QTimer::timeout, this, [this] {
        m_delegate->setPhase(++m_phase);
        updateSpinners();
    });

    connect(m_bookCard, &QAbstractButton::clicked, this, [this] { m_model.setMode(ViewMode::book); });
    connect(m_calendarCard, &QAbstractButton::clicked, this, [this] { m_model.showCalendar(); });
    connect(m_childrenButton, &QPushButton::clicked, this, [this] { m_model.setChildrenShown(true); });
    connect(m_list, &DrawingListView::deleteRequested, this, [this] {
        if (m_model.selectedID()) m_model.setRemoveConfirm(m_model.selectedID());
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &Sidebar::userSelected);
    refresh();
}

void Sidebar::updateSpinners() {
    QWidget* viewport = m_list->viewport();
    for (QModelIndex index = m_list->indexAt({0, 0}); index.isValid();
         index = index.siblingAtRow(index.row() + 1)) {
        const QRect row = m_list->visualRect(index);
        if (row.top() > viewport->height()) break;
        if (index.data(DrawingListModel::busyRole).toBool())
            viewport->update(DrawingRowDelegate::spinnerRect(row));
    }
}

void Sidebar::refresh() {
    if (m_documentChanged) {
        m_documentChanged = false;
        const int scroll = m_list->verticalScrollBar()->value();
        m_syncing = true;
        const auto change = m_rows->refresh(m_model);
        m_syncing = false;
        // Only a reset loses the scroll position; setting it when nothing moved still costs the view a
        // round trip to the X server for the mouse position.
        if (change == DrawingListModel::Change::reset) m_list->verticalScrollBar()->setValue(scroll);
        refreshCards();
        m_footer->setText(drawingCount(static_cast<int>(m_model.drawings().size())));
        if (m_rows->anyBusy() && !m_spin.isActive()) m_spin.start();
        if (!m_rows->anyBusy()) m_spin.stop();
    }
    m_bookCard->setHighlighted(m_model.mode() == ViewMode::book);
    m_calendarCard->setHighlighted(m_model.mode() == ViewMode::calendar);
    syncSelection();
}

void Sidebar::refreshCards() {
    const auto& settings = m_model.settings();
    const int pages = static_cast<int>(LayoutCache::layout(m_model).pages.size());
    const auto title = settings.title.empty() ? QStringLiteral("Untitled Book") : QString::fromStdString(settings.title);
    const auto size = QCoreApplication::translate("BookSize", std::string(quillfen::title(settings.size)).c_str());
    m_bookCard->setTexts(title, m_model.drawings().empty() ? tr("No drawings yet")
                                                           : tr("%1 pages · %2").arg(pages).arg(size));
    m_bookCard->setAccessibleName(tr("Whole book, %1 pages").arg(pages));

    QImage cover;
    if (const auto id = BookCover::coverDrawing(m_model)) {
        for (const auto& d : m_model.drawings()) {
            if (d.info.id == *id) {
                cover = d.thumb;
                break;
            }
        }
    }
    m_swatch->setCover(swatchColor(settings.coverColor), cover);

    const auto headline = tr("Calendar %1").arg(QString::fromStdString(m_model.calendar().displayTitle()));
    m_calendarCard->setTexts(headline, tr("12 months, one picture each"));
    m_calendarCard->setAccessibleName(headline);
}

void Sidebar::syncSelection() {
    m_syncing = true;
    const auto index = m_model.mode() == ViewMode::drawing && m_model.selectedID()
                           ? m_rows->indexOf(*m_model.selectedID())
                           : QModelIndex();
    if (index.isValid()) {
        if (m_list->selectionModel()->selectedIndexes() != QModelIndexList{index}) {
            m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
            m_list->scrollTo(index);
        }
    } else {
        m_list->selectionModel()->clearSelection();
    }
    m_syncing = false;
}

void Sidebar::userSelected() {
    if (m_syncing) return;
    const auto selected = m_list->selectionModel()->selectedIndexes();
    const auto id = selected.isEmpty() ? std::nullopt : m_rows->idAt(selected.first());
    if (!id) {  // a cleared selection changes nothing in the model: show its selection again
        syncSelection();
        return;
    }
    m_model.setSelectedID(id);
    if (m_model.mode() != ViewMode::drawing) m_model.setMode(ViewMode::drawing);
}

}  // namespace quillfen
