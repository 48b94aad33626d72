#include "app/calendar/CalendarDates.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <iterator>

namespace quillfen {

namespace {

bool isBlank(QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; }

}  // namespace

QString trimmedEventTitle(const QString& title) {
    qsizetype first = 0;
    qsizetype end = title.size();
    while (first < end && isBlank(title[first])) ++first;
    while (end > first && isBlank(title[end - 1])) --end;
    return title.mid(first, end - first);
}

QString eventDateFormat(const QLocale& locale, bool withYear) {
    // The format as fields (runs of one letter) and the literal text between them, quotes kept.
    struct Token { QString text; bool field; };
    std::vector<Token> tokens;
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    for (qsizetype i = 0; i < format.size();) {
        qsizetype end = i + 1;
        const bool field = format[i].isLetter();
        if (field) {
            while (end < format.size() && format[end] == format[i]) ++end;
        } else if (format[i] == u'\'') {
            while (end < format.size() && format[end] != u'\'') ++end;
            end = std::min(end + 1, format.size());
        }
        if (!field && !tokens.empty() && !tokens.back().field) tokens.back().text += format.mid(i, end - i);
        else tokens.push_back({format.mid(i, end - i), field});
        i = end;
    }
    const auto year = std::find_if(tokens.begin(), tokens.end(), [](const Token& t) { return t.field && t.text[0] == u'y'; });
    if (year != tokens.end()) {
        if (withYear) {
            year->text = QStringLiteral("yyyy");
        } else {
            // The year goes with the separator that joins it to its neighbour, or with all that follows it.
            const bool first = std::none_of(tokens.begin(), year, [](const Token& t) { return t.field; });
            const bool last = std::none_of(year + 1, tokens.end(), [](const Token& t) { return t.field; });
            auto from = year, to = year + 1;
            if (first) {
                if (to != tokens.end() && !to->field) ++to;
            } else {
                if (!std::prev(from)->field) --from;
                if (last) to = tokens.end();
            }
            tokens.erase(from, to);
        }
    }
    QString result;
    for (const Token& t : tokens) result += t.text;
    return result;
}

QString eventDateText(const CustomEvent& event, const QLocale& locale) {
    const QDate date(event.date.year, event.date.month, event.date.day);
    if (date.isValid()) return locale.toString(date, eventDateFormat(locale, !event.yearly));
    // A date no calendar has (a hand-edited document) still shows its numbers.
    QString text = QString::number(event.date.month) + '/' + QString::number(event.date.day);
    if (!event.yearly) text += '/' + QString::number(event.date.year);
    return text;
}

CalendarDates::CalendarDates(AppModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
    auto* column = new QVBoxLayout(this);
    m_federal = new QCheckBox(tr("US federal holidays"), this);
    m_observances = new QCheckBox(tr("Holidays and observances"), this);
    m_observances->setToolTip(tr("Valentine’s Day, Easter, Mother’s and Father’s Day, Grandparents Day, "
                                 "Halloween, Hanukkah, Christmas Eve…"));
    m_birthdays = new QCheckBox(tr("Children’s birthdays"), this);
    m_birthdays->setToolTip(tr("From the birthdays in Children…"));
    for (auto* box : {m_federal, m_observances, m_birthdays}) column->addWidget(box);
    connect(m_federal, &QCheckBox::toggled, this,
            [this](bool on) { edit([on](CalendarSettings& c) { c.federalHolidays = on; }); });
    connect(m_observances, &QCheckBox::toggled, this,
            [this](bool on) { edit([on](CalendarSettings& c) { c.observances = on; }); });
    connect(m_birthdays, &QCheckBox::toggled, this,
            [this](bool on) { edit([on](CalendarSettings& c) { c.birthdays = on; }); });

    m_rowsLayout = new QVBoxLayout;
    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    column->addLayout(m_rowsLayout);

    auto* newRow = new QHBoxLayout;
    m_newTitle = new QLineEdit(this);
    m_newTitle->setPlaceholderText(tr("Grandma’s birthday"));
    m_newTitle->setAccessibleName(tr("New event"));
    m_newDate = new QDateEdit(QDate::currentDate(), this);
    m_newDate->setDisplayFormat(eventDateFormat(locale(), true));
    m_newDate->setCalendarPopup(true);
    m_newDate->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    m_newDate->setAccessibleName(tr("Date"));
    newRow->addWidget(m_newTitle, 1);
    newRow->addWidget(m_newDate);
    column->addLayout(newRow);

    auto* addRow = new QHBoxLayout;
    m_yearly = new QCheckBox(tr("Every year"), this);
    m_yearly->setChecked(true);
    m_add = new QPushButton(tr("Add Event"), this);
    m_add->setEnabled(false);
    addRow->addWidget(m_yearly);
    addRow->addStretch(1);
    addRow->addWidget(m_add);
    column->addLayout(addRow);

    auto* children = new QPushButton(tr("Children…"), this);
    column->addWidget(children, 0, Qt::AlignLeft);

    connect(m_newTitle, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_add->setEnabled(!trimmedEventTitle(text).isEmpty()); });
    connect(m_newTitle, &QLineEdit::returnPressed, this, &CalendarDates::addEvent);
    connect(m_add, &QPushButton::clicked, this, &CalendarDates::addEvent);
    connect(children, &QPushButton::clicked, this, [this] { m_model.setChildrenShown(true); });
    refresh();
}

void CalendarDates::edit(const std::function<void(CalendarSettings&)>& change) {
    auto calendar = m_model.calendar();
    change(calendar);
    m_model.setCalendar(std::move(calendar));
}

void CalendarDates::addEvent() {
    const QString title = trimmedEventTitle(m_newTitle->text());
    if (title.isEmpty()) return;
    const QDate date = m_newDate->date();
    CustomEvent event{UUID::random(), title.toStdString(), Day{date.year(), date.month(), date.day()},
                      m_yearly->isChecked()};
    edit([&](CalendarSettings& c) { c.customEvents.push_back(std::move(event)); });
    m_newTitle->clear();
}

void CalendarDates::startNewEvent() {
    m_newTitle->clear();
    m_newDate->setDate(QDate::currentDate());
    m_yearly->setChecked(true);
}

void CalendarDates::removeEvent(const UUID& id) {
    edit([&](CalendarSettings& c) { std::erase_if(c.customEvents, [&](const CustomEvent& e) { return e.id == id; }); });
}

void CalendarDates::refresh() {
    const auto& calendar = m_model.calendar();
    for (const auto& [box, on] : {std::pair{m_federal, calendar.federalHolidays},
                                  std::pair{m_observances, calendar.observances},
                                  std::pair{m_birthdays, calendar.birthdays}}) {
        const QSignalBlocker blocker(box);
        box->setChecked(on);
    }
    const auto& events = calendar.customEvents;
    const bool sameRows = std::equal(events.begin(), events.end(), m_rows.begin(), m_rows.end(),
                                     [](const CustomEvent& e, const Row& r) { return e.id == r.id; });
    if (!sameRows) rebuildRows(events);
    for (std::size_t i = 0; i < events.size(); ++i) {
        const Row& row = m_rows[i];
        const QString title = QString::fromStdString(events[i].title);
        if (row.title->text() != title) {
            const QSignalBlocker blocker(row.title);
            row.title->setText(title);
        }
        row.date->setText(eventDateText(events[i], locale()));
        row.remove->setAccessibleName(tr("Remove %1").arg(title));
    }
}

void CalendarDates::rebuildRows(const std::vector<CustomEvent>& events) {
    // A row's own remove button may be the caller: its widget goes once the click is handled.
    for (const auto& row : m_rows) {
        row.widget->hide();
        row.widget->deleteLater();
    }
    m_rows.clear();
    for (const auto& event : events) {
        auto* widget = new QWidget(this);
        auto* layout = new QHBoxLayout(widget);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* title = new QLineEdit(widget);
        title->setAccessibleName(tr("Event"));
        auto* date = new QLabel(widget);
        date->setTextFormat(Qt::PlainText);
        QPalette dimmed = date->palette();
        dimmed.setColor(QPalette::WindowText, dimmed.color(QPalette::PlaceholderText));
        date->setPalette(dimmed);
        auto* remove = new QToolButton(widget);
        remove->setIcon(QIcon::fromTheme(QStringLiteral("list-remove")));
        remove->setAutoRaise(true);
        layout->addWidget(title, 1);
        layout->addWidget(date);
        layout->addWidget(remove);
        m_rowsLayout->addWidget(widget);
        const UUID id = event.id;
        connect(title, &QLineEdit::textEdited, this, [this, id](const QString& text) {
            edit([&](CalendarSettings& c) {
                for (auto& e : c.customEvents) {
                    if (e.id == id) e.title = text.toStdString();
                }
            });
        });
        connect(remove, &QToolButton::clicked, this, [this, id] { removeEvent(id); });
        m_rows.push_back({id, widget, title, date, remove});
    }
}

}  // namespace quillfen
