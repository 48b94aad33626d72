#include "app/calendar/CalendarInspector.h"

#include "app/calendar/CalendarDates.h"
#include "app/calendar/CalendarPages.h"
#include "app/widgets/ChoiceBox.h"
#include "app/widgets/WheelGuard.h"
#include "engine/book/PrintGeometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillfen {

namespace {

constexpr int firstYear = 2026;
constexpr int lastYear = 2035;

template <typename E>
void select(QComboBox* box, E value) {
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(box->findData(static_cast<int>(value)));
}

void selectID(QComboBox* box, const std::optional<UUID>& id) {
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(box->findData(id ? QString::fromStdString(id->string()) : QString()));
}

std::optional<UUID> chosenID(const QComboBox* box, int index) {
    return UUID::parse(box->itemData(index).toString().toStdString());
}

QGroupBox* section(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    return box;
}

void setTextKeepingCursor(QLineEdit* edit, const QString& value) {
    if (edit->text() == value) return;
    const QSignalBlocker blocker(edit);
    edit->setText(value);
}

}  // namespace

template <typename E, typename Name>
QComboBox* CalendarInspector::casePicker(QWidget* parent, E CalendarSettings::*field, Name name) {
    auto* picker = new ChoiceBox(parent);
    for (const E value : allCases<E>()) picker->addItem(name(value), static_cast<int>(value));
    connect(picker, &QComboBox::activated, this, [this, picker, field](int index) {
        const auto value = static_cast<E>(picker->itemData(index).toInt());
        edit([value, field](CalendarSettings& c) { c.*field = value; });
    });
    return picker;
}

CalendarInspector::CalendarInspector(AppModel& model, QWidget* parent) : QScrollArea(parent), m_model(model) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* form = new QWidget(this);
    auto* column = new QVBoxLayout(form);
    column->addWidget(calendarSection());
    column->addWidget(picturesSection());
    column->addWidget(coverSection());
    auto* dates = section(tr("Dates"), form);
    m_dates = new CalendarDates(model, dates);
    auto* datesLayout = new QVBoxLayout(dates);
    datesLayout->addWidget(m_dates);
    column->addWidget(dates);
    column->addWidget(printingSection());
    column->addStretch(1);
    setWidget(form);
    guardWheel(this);
    connect(&model, &AppModel::revisionChanged, this, [this] {
        if (!isAside()) refresh();
    });
    refresh();
}

void CalendarInspector::edit(const std::function<void(CalendarSettings&)>& change) {
    auto calendar = m_model.calendar();
    change(calendar);
    m_model.setCalendar(std::move(calendar));
}

QWidget* CalendarInspector::calendarSection() {
    auto* box = section(tr("Calendar"), this);
    auto* form = new QFormLayout(box);
    m_start = new ChoiceBox(box);
    for (int month = 1; month <= 12; ++month) m_start->addItem(QString(), month);
    form->addRow(tr("Starts"), m_start);
    connect(m_start, &QComboBox::activated, this, [this](int index) {
        const int month = m_start->itemData(index).toInt();
        edit([month](CalendarSettings& c) { c.startMonth = month; });
    });

    auto* stepper = new QWidget(box);
    auto* stepperRow = new QHBoxLayout(stepper);
    stepperRow->setContentsMargins(0, 0, 0, 0);
    m_yearTitle = new QLabel(stepper);
    m_yearDown = new QToolButton(stepper);
    m_yearDown->setText(QStringLiteral("−"));
    m_yearDown->setAccessibleName(tr("Earlier year"));
    m_yearUp = new QToolButton(stepper);
    m_yearUp->setText(QStringLiteral("+"));
    m_yearUp->setAccessibleName(tr("Later year"));
    stepperRow->addWidget(m_yearTitle, 1);
    stepperRow->addWidget(m_yearDown);
    stepperRow->addWidget(m_yearUp);
    form->addRow(stepper);
    connect(m_yearDown, &QToolButton::clicked, this, [this] { stepYear(-1); });
    connect(m_yearUp, &QToolButton::clicked, this, [this] { stepYear(+1); });

    m_format = casePicker(box, &CalendarSettings::format,
                          [](CalendarFormat f) { return QString::fromUtf8(label(f)); });
    form->addRow(tr("Size"), m_format);

    m_weekStart = new ChoiceBox(box);
    m_weekStart->addItem(tr("Sunday"), 0);
    m_weekStart->addItem(tr("Monday"), 1);
    form->addRow(tr("Week starts"), m_weekStart);
    connect(m_weekStart, &QComboBox::activated, this, [this](int index) {
        const int weekStart = m_weekStart->itemData(index).toInt();
        edit([weekStart](CalendarSettings& c) { c.weekStart = weekStart; });
    });

    m_language = casePicker(box, &CalendarSettings::language,
                            [](CalendarLanguage l) { return QString::fromUtf8(title(l)); });
    form->addRow(tr("Language"), m_language);

    m_lettering = new ChoiceBox(box);
    for (const auto style : {CaptionStyle::handwritten, CaptionStyle::classic, CaptionStyle::modern})
        m_lettering->addItem(QString::fromUtf8(label(style)), static_cast<int>(style));
    form->addRow(tr("Lettering"), m_lettering);
    connect(m_lettering, &QComboBox::activated, this, [this](int index) {
        const auto style = static_cast<CaptionStyle>(m_lettering->itemData(index).toInt());
        edit([style](CalendarSettings& c) { c.style = style; });
    });
    return box;
}

QWidget* CalendarInspector::picturesSection() {
    auto* box = section(tr("Pictures"), this);
    auto* column = new QVBoxLayout(box);
    auto* form = new QFormLayout;
    for (int slot = 0; slot < 12; ++slot) {
        auto* title = new QLabel(box);
        auto* picker = new ChoiceBox(box);
        title->setBuddy(picker);
        form->addRow(title, picker);
        m_monthTitles[static_cast<std::size_t>(slot)] = title;
        m_months[static_cast<std::size_t>(slot)] = picker;
        connect(picker, &QComboBox::activated, this, [this, slot, picker](int index) {
            const auto id = chosenID(picker, index);
            edit([slot, id](CalendarSettings& c) {
                if (id) c.pictures[slot] = *id;
                else c.pictures.erase(slot);
            });
        });
    }
    column->addLayout(form);

    auto* fillEmpty = new QPushButton(tr("Fill Empty Months"), box);
    connect(fillEmpty, &QPushButton::clicked, this, [this] { m_model.fillEmptyMonths(); });
    column->addWidget(fillEmpty, 0, Qt::AlignLeft);
    m_fillPicture = new QCheckBox(tr("Fill the picture area (crops the edges)"), box);
    connect(m_fillPicture, &QCheckBox::toggled, this,
            [this](bool on) { edit([on](CalendarSettings& c) { c.fillPicture = on; }); });
    column->addWidget(m_fillPicture);

    auto* buttons = new QHBoxLayout;
    auto* addPhotos = new QPushButton(tr("Add Photos…"), box);
    m_addFiles = new QPushButton(tr("Add Files…"), box);
    buttons->addWidget(addPhotos);
    buttons->addWidget(m_addFiles);
    buttons->addStretch(1);
    column->addLayout(buttons);
    connect(addPhotos, &QPushButton::clicked, this, [this] {
        m_model.setImportForCalendar(true);
        m_model.setPhotosPickerShown(true);
    });
    connect(m_addFiles, &QPushButton::clicked, this, [this] {
        m_model.setImportForCalendar(true);
        m_model.chooseFiles();
    });

    auto* note = new QLabel(tr("Photos added here go on the calendar as they are (no paper cleanup) and stay "
                               "out of the book. Drawings from the book are cleaned as usual."),
                            box);
    note->setWordWrap(true);
    QFont caption = note->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    note->setFont(caption);
    QPalette dimmed = note->palette();
    dimmed.setColor(QPalette::WindowText, dimmed.color(QPalette::PlaceholderText));
    note->setPalette(dimmed);
    column->addWidget(note);
    return box;
}

QWidget* CalendarInspector::coverSection() {
    auto* box = section(tr("Cover"), this);
    m_coverForm = new QFormLayout(box);
    m_cover = new QCheckBox(tr("Cover page"), box);
    m_coverForm->addRow(m_cover);
    connect(m_cover, &QCheckBox::toggled, this, [this](bool on) { edit([on](CalendarSettings& c) { c.cover = on; }); });

    m_title = new QLineEdit(box);
    m_coverForm->addRow(tr("Title"), m_title);
    connect(m_title, &QLineEdit::textEdited, this, [this](const QString& value) {
        edit([&value](CalendarSettings& c) { c.title = value.toStdString(); });
    });
    m_subtitle = new QLineEdit(box);
    m_subtitle->setPlaceholderText(tr("Drawings by Zizu and Roz"));
    m_coverForm->addRow(tr("Subtitle"), m_subtitle);
    connect(m_subtitle, &QLineEdit::textEdited, this, [this](const QString& value) {
        edit([&value](CalendarSettings& c) { c.subtitle = value.toStdString(); });
    });

    m_coverPicture = new ChoiceBox(box);
    m_coverForm->addRow(tr("Picture"), m_coverPicture);
    connect(m_coverPicture, &QComboBox::activated, this, [this](int index) {
        const auto id = chosenID(m_coverPicture, index);
        edit([id](CalendarSettings& c) { c.coverPicture = id; });
    });

    m_coverColor = casePicker(box, &CalendarSettings::coverColor,
                              [](CoverColor colour) { return QString::fromUtf8(label(colour)); });
    m_coverForm->addRow(tr("Color"), m_coverColor);
    return box;
}

QWidget* CalendarInspector::printingSection() {
    auto* box = section(tr("Printing"), this);
    auto* form = new QFormLayout(box);
    m_print = casePicker(box, &CalendarSettings::print,
                         [](CalendarPrint print) { return QString::fromUtf8(label(print)); });
    form->addRow(tr("Print at"), m_print);

    auto* caveat = new QWidget(box);
    auto* caveatRow = new QHBoxLayout(caveat);
    caveatRow->setContentsMargins(0, 0, 0, 0);
    auto* symbol = new QLabel(caveat);
    const int side = fontMetrics().height();
    symbol->setPixmap(QIcon::fromTheme(QStringLiteral("dialog-information")).pixmap(side, side));
    auto* note = new QLabel(QString::fromUtf8(printPresetCaveat), caveat);
    note->setWordWrap(true);
    QFont caption = note->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    note->setFont(caption);
    QPalette orange = note->palette();
    orange.setColor(QPalette::WindowText, QColor(255, 149, 0));
    note->setPalette(orange);
    caveatRow->addWidget(symbol, 0, Qt::AlignTop);
    caveatRow->addWidget(note, 1);
    form->addRow(caveat);

    // Ctrl+E belongs to the window's export command, which asks for the same print-ready export.
    auto* exportPrint = new QPushButton(tr("Export Calendar…"), box);
    auto* exportHome = new QPushButton(tr("Export for Home Printing…"), box);
    form->addRow(exportPrint);
    form->addRow(exportHome);
    connect(exportPrint, &QPushButton::clicked, this, [this] { m_model.requestExport(ExportKind::print); });
    connect(exportHome, &QPushButton::clicked, this, [this] { m_model.requestExport(ExportKind::home); });
    return box;
}

void CalendarInspector::catchUp() {
    m_dates->startNewEvent();
    refresh();
}

void CalendarInspector::stepYear(int by) {
    const int year = std::clamp(m_model.calendar().startYear + by, firstYear, lastYear);
    edit([year](CalendarSettings& c) { c.startYear = year; });
}

void CalendarInspector::refreshCandidates() {
    std::vector<Candidate> candidates;
    for (const auto& pool : {m_model.bookDrawings(), m_model.calendarOnlyDrawings()}) {
        for (const auto& d : pool) {
            candidates.push_back({d.info.id, d.info.title.empty() ? QStringLiteral("Untitled")
                                                                   : QString::fromStdString(d.info.title)});
        }
    }
    if (candidates == m_candidates && m_coverPicture->count() > 0) return;
    m_candidates = std::move(candidates);
    const auto fill = [this](QComboBox* box, const QString& first) {
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItem(first, QString());
        for (const auto& c : m_candidates) box->addItem(c.label, QString::fromStdString(c.id.string()));
    };
    for (auto* box : m_months) fill(box, tr("None"));
    fill(m_coverPicture, tr("January’s picture"));
}

void CalendarInspector::refresh() {
    const auto& calendar = m_model.calendar();
    {
        const QSignalBlocker blocker(m_start);
        for (int i = 0; i < m_start->count(); ++i)
            m_start->setItemText(i, QString::fromStdString(monthNames(calendar.language, i + 1)));
        m_start->setCurrentIndex(m_start->findData(calendar.startMonth));
    }
    m_yearTitle->setText(tr("Year %1").arg(QString::number(calendar.startYear)));
    m_yearDown->setEnabled(calendar.startYear > firstYear);
    m_yearUp->setEnabled(calendar.startYear < lastYear);
    select(m_format, calendar.format);
    {
        const QSignalBlocker blocker(m_weekStart);
        m_weekStart->setCurrentIndex(m_weekStart->findData(calendar.weekStart));
    }
    select(m_language, calendar.language);
    select(m_lettering, calendar.style);

    refreshCandidates();
    const auto months = calendar.months();
    for (int slot = 0; slot < 12; ++slot) {
        const auto& month = months[static_cast<std::size_t>(slot)];
        m_monthTitles[static_cast<std::size_t>(slot)]->setText(
            tr("%1 %2").arg(QString::fromStdString(monthNames(calendar.language, month.month)),
                            QString::number(month.year)));
        const auto picture = calendar.pictures.find(slot);
        selectID(m_months[static_cast<std::size_t>(slot)],
                 picture == calendar.pictures.end() ? std::nullopt : std::optional<UUID>(picture->second));
    }
    for (const auto& [box, on] : {std::pair{m_fillPicture, calendar.fillPicture}, std::pair{m_cover, calendar.cover}}) {
        const QSignalBlocker blocker(box);
        box->setChecked(on);
    }

    for (QWidget* row : std::initializer_list<QWidget*>{m_title, m_subtitle, m_coverPicture, m_coverColor})
        m_coverForm->setRowVisible(row, calendar.cover);
    setTextKeepingCursor(m_title, QString::fromStdString(calendar.title));
    m_title->setPlaceholderText(QString::fromStdString(calendar.displayTitle()));
    setTextKeepingCursor(m_subtitle, QString::fromStdString(calendar.subtitle));
    selectID(m_coverPicture, calendar.coverPicture);
    select(m_coverColor, calendar.coverColor);

    m_dates->refresh();
    select(m_print, calendar.print);
}

}  // namespace quillfen
