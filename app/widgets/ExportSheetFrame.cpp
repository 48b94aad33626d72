#include "app/widgets/ExportSheetFrame.h"

#include "app/platform/ShowInFolder.h"
#include "app/widgets/Icons.h"
#include "app/widgets/WarningRow.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QListView>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyledItemDelegate>

#include <cmath>

namespace quillfen {

namespace {

constexpr int sheetWidth = 520;
constexpr int inset = 22;
constexpr int columnWidth = sheetWidth - 2 * inset;
constexpr int spacing = 14;
constexpr int warningRowSpacing = 6;
constexpr int warningListHeight = 140;
constexpr int iconSize = 16;

const QColor green(40, 160, 70);

// The picker's name for a kind of file.
QString kindName(ExportKind kind) {
    switch (kind) {
    case ExportKind::print: return QStringLiteral("Print-ready PDF (with bleed)");
    case ExportKind::home: return QStringLiteral("Home-print PDF (letter paper)");
    case ExportKind::cover: return QStringLiteral("Cover only (with bleed)");
    }
    return {};
}

QLabel* wrappingLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    return label;
}

void setForeground(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

void setSecondary(QWidget* widget) { setForeground(widget, widget->palette().color(QPalette::PlaceholderText)); }

// A symbol and a wrapping text beside it, both in `color`.
QWidget* symbolRow(const QString& themeName, const QColor& color, QLabel* text, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* symbol = new QLabel(row);
    symbol->setPixmap(tintedSymbol(themeName, color, iconSize, parent->devicePixelRatioF()));
    symbol->setAlignment(Qt::AlignTop);
    text->setParent(row);
    setForeground(text, color);
    layout->addWidget(symbol, 0, Qt::AlignTop);
    layout->addWidget(text, 1);
    return row;
}

constexpr int severeRole = Qt::UserRole + 1;

// Paints a warning row of the sheet's list: the symbol and the word-wrapped text in the warning's
// colour. Rows are measured only as the list lays them out, a batch at a time from the top.
class WarningDelegate : public QStyledItemDelegate {
public:
    explicit WarningDelegate(QListView* list) : QStyledItemDelegate(list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int width = textWidth();
        const QRect text = option.fontMetrics.boundingRect(QRect(0, 0, width, 1 << 20), flags, index.data().toString());
        return {width, std::max(text.height(), iconSize) + warningRowSpacing};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool severe = index.data(severeRole).toBool();
        const QRect row = option.rect.adjusted(0, 0, 0, -warningRowSpacing);
        painter->drawPixmap(QPoint(row.left(), row.top()), symbol(severe, m_list->devicePixelRatioF()));
        painter->setPen(warningColor(severe));
        painter->setFont(option.font);
        painter->drawText(QRect(row.left() + iconSize + textGap, row.top(), textWidth(), row.height()), flags,
                          index.data().toString());
    }

private:
    static constexpr int flags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
    static constexpr int textGap = 6;

    // Beside the scroll bar, which is always shown.
    int textWidth() const {
        return std::max(1, m_list->width() - m_list->verticalScrollBar()->sizeHint().width() - iconSize - textGap);
    }
    QPixmap symbol(bool severe, qreal ratio) const {
        QPixmap& cached = severe ? m_severe : m_mild;
        if (cached.isNull() || cached.devicePixelRatio() != ratio)
            cached = warningSymbol(severe, iconSize, ratio);
        return cached;
    }

    QListView* m_list;
    mutable QPixmap m_severe;
    mutable QPixmap m_mild;
};

}  // namespace

QString ExportSheetFrame::inches(double points, const QLocale& locale) {
    const double rounded = std::round(points / pointsPerInch * 1000) / 1000 + 0.0;
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(rounded, 'f', QLocale::FloatingPointShortest) + QStringLiteral(" in");
}

ExportSheetFrame::ExportSheetFrame(AppModel& model, Texts texts, std::function<ExportSummary()> summary,
                                   QWidget* parent)
    : QDialog(parent), m_model(model), m_summary(std::move(summary)) {
    setWindowModality(Qt::WindowModal);
    setWindowTitle(texts.title);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(inset, inset, inset, inset);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* column = new QWidget(this);
    column->setFixedWidth(columnWidth);
    outer->addWidget(column);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);

    auto* title = new QLabel(texts.title, column);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    titleFont.setWeight(QFont::DemiBold);
    title->setFont(titleFont);
    layout->addWidget(title);

    auto* picker = new QWidget(column);
    picker->setAccessibleName(tr("Export"));
    auto* pickerLayout = new QVBoxLayout(picker);
    pickerLayout->setContentsMargins(0, 0, 0, 0);
    m_kinds = new QButtonGroup(picker);
    for (const ExportKind kind : texts.kinds) {
        auto* button = new QRadioButton(kindName(kind), picker);
        m_kinds->addButton(button, static_cast<int>(kind));
        pickerLayout->addWidget(button);
    }
    connect(m_kinds, &QButtonGroup::idClicked, this,
            [this](int id) { m_model.setExportKind(static_cast<ExportKind>(id)); });
    layout->addWidget(picker);

    m_description = wrappingLabel(column);
    setSecondary(m_description);
    layout->addWidget(m_description);

    m_noticeText = wrappingLabel(column);
    QFont callout = m_noticeText->font();
    callout.setPointSizeF(callout.pointSizeF() * 0.95);
    m_noticeText->setFont(callout);
    m_notice = symbolRow(QStringLiteral("dialog-information-symbolic"), warningColor(false), m_noticeText, column);
    layout->addWidget(m_notice);

    auto* sharpText = wrappingLabel(column);
    sharpText->setText(texts.everyPictureSharp);
    m_sharp = symbolRow(QStringLiteral("object-select-symbolic"), green, sharpText, column);
    layout->addWidget(m_sharp);

    // A book can have hundreds of warnings: a list lays out and paints only the rows in view.
    m_warnings = new QStandardItemModel(this);
    m_warningList = new QListView(column);
    m_warningList->setModel(m_warnings);
    m_warningList->setItemDelegate(new WarningDelegate(m_warningList));
    m_warningList->setFixedWidth(columnWidth);
    m_warningList->setFrameShape(QFrame::NoFrame);
    m_warningList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_warningList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_warningList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_warningList->setSelectionMode(QAbstractItemView::NoSelection);
    m_warningList->setFocusPolicy(Qt::NoFocus);
    m_warningList->setLayoutMode(QListView::Batched);
    m_warningList->setBatchSize(8);
    m_warningList->viewport()->setAutoFillBackground(false);
    m_warningList->setAccessibleName(tr("Warnings"));
    layout->addWidget(m_warningList);

    m_progress = new QWidget(column);
    auto* progressLayout = new QVBoxLayout(m_progress);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    auto* progressLabel = new QLabel(tr("Making the PDF…"), m_progress);
    m_progressBar = new QProgressBar(m_progress);
    m_progressBar->setRange(0, 1000);
    m_progressBar->setTextVisible(false);
    m_progressBar->setAccessibleName(progressLabel->text());
    progressLabel->setBuddy(m_progressBar);
    progressLayout->addWidget(progressLabel);
    progressLayout->addWidget(m_progressBar);
    layout->addWidget(m_progress);

    auto* buttons = new QHBoxLayout;
    m_showInFolder = new QPushButton(tr("Show in Folder"), column);
    m_showInFolder->setAutoDefault(false);
    m_saved = new QLabel(tr("Saved."), column);
    setSecondary(m_saved);
    m_cancel = new QPushButton(column);
    m_cancel->setAutoDefault(false);
    m_export = new QPushButton(tr("Export…"), column);
    m_export->setDefault(true);
    buttons->addWidget(m_showInFolder, 0, Qt::AlignVCenter);
    buttons->addWidget(m_saved, 0, Qt::AlignVCenter);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel, 0, Qt::AlignVCenter);
    buttons->addWidget(m_export, 0, Qt::AlignVCenter);
    layout->addLayout(buttons);

    // Closing never stops a running export: the model runs it to its end.
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_export, &QPushButton::clicked, this, [this] { m_model.runExport(m_model.exportKind()); });
    connect(m_showInFolder, &QPushButton::clicked, this, [this] {
        if (!m_model.exportedURL()) return;
        if (m_reveal) return m_reveal(*m_model.exportedURL());
        ShowInFolder::show(*m_model.exportedURL());
    });

    connect(&model, &AppModel::revisionChanged, this, &ExportSheetFrame::refreshSummary);
    connect(&model, &AppModel::exportKindChanged, this, [this] {
        m_reportsWritten = false;
        refreshSummary();
        refreshProgress();
    });
    connect(&model, &AppModel::exportProgressChanged, this, [this] {
        if (m_model.exportProgress()) m_reportsWritten = false;
        refreshProgress();
    });
    connect(&model, &AppModel::exportedURLChanged, this, &ExportSheetFrame::refreshProgress);
    connect(&model, &AppModel::exportEnded, this, [this](bool written) {
        m_reportsWritten = written;
        refreshProgress();
    });
}

void ExportSheetFrame::refresh() {
    refreshSummary();
    refreshProgress();
}

void ExportSheetFrame::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LocaleChange) refreshSummary();
}

void ExportSheetFrame::refreshSummary() {
    if (auto* button = m_kinds->button(static_cast<int>(m_model.exportKind()))) {
        button->setChecked(true);
    } else if (auto* checked = m_kinds->checkedButton()) {
        m_kinds->setExclusive(false);
        checked->setChecked(false);
        m_kinds->setExclusive(true);
    }
    const ExportSummary summary = m_summary();
    m_description->setText(summary.description);
    m_notice->setVisible(summary.notice.has_value());
    m_noticeText->setText(summary.notice.value_or(QString()));
    m_sharp->setVisible(summary.warnings.empty());
    m_warningList->setVisible(!summary.warnings.empty());
    if (summary.warnings != m_shownWarnings) showWarnings(summary.warnings);
}

void ExportSheetFrame::showWarnings(const std::vector<LayoutWarning>& warnings) {
    QList<QStandardItem*> rows;
    rows.reserve(static_cast<qsizetype>(warnings.size()));
    for (const auto& warning : warnings) {
        auto* row = new QStandardItem(QString::fromStdString(warning.text));
        row->setData(warning.severe, severeRole);
        row->setEditable(false);
        rows.append(row);
    }
    m_warnings->clear();
    m_warnings->invisibleRootItem()->appendRows(rows);
    m_shownWarnings = warnings;
    // As tall as the rows, up to the list's height: rows are measured only until they fill it.
    QStyleOptionViewItem option;
    option.initFrom(m_warningList);
    int rowsHeight = 0;
    for (int row = 0; row < m_warnings->rowCount() && rowsHeight < warningListHeight; ++row) {
        rowsHeight += m_warningList->itemDelegate()->sizeHint(option, m_warnings->index(row, 0)).height();
    }
    m_warningList->setFixedHeight(std::min(rowsHeight, warningListHeight));
}

void ExportSheetFrame::refreshProgress() {
    const auto& progress = m_model.exportProgress();
    m_progress->setVisible(progress.has_value());
    if (progress) m_progressBar->setValue(static_cast<int>(std::lround(std::clamp(*progress, 0.0, 1.0) * 1000)));
    m_export->setEnabled(!progress);
    const bool saved = m_reportsWritten && !progress && m_model.exportedURL().has_value();
    m_showInFolder->setVisible(saved);
    m_saved->setVisible(saved);
    m_cancel->setText(saved ? tr("Done") : tr("Cancel"));
}

}  // namespace quillfen
