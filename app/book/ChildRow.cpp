#include "app/book/ChildRow.h"

#include "app/book/GrowingTextEdit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quillfen {

namespace {

QDateTime local(const Date& date) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(date.unixSeconds() * 1000));
}

Date date(const QDateTime& moment) { return Date::fromUnixSeconds(moment.toMSecsSinceEpoch() / 1000.0); }

}  // namespace

ChildRow::ChildRow(AppModel& model, const Child& child, QWidget* parent)
    : QFrame(parent), m_model(model), m_id(child.id) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(8);

    auto* nameLine = new QHBoxLayout;
    m_name = new QLineEdit(this);
    m_name->setPlaceholderText(tr("Name"));
    QFont headline = m_name->font();
    headline.setBold(true);
    m_name->setFont(headline);
    m_trash = new QToolButton(this);
    m_trash->setIcon(QIcon::fromTheme("user-trash"));
    m_trash->setAutoRaise(true);
    nameLine->addWidget(m_name, 1);
    nameLine->addWidget(m_trash);
    column->addLayout(nameLine);

    auto* birthdayLine = new QHBoxLayout;
    m_hasBirthday = new QCheckBox(tr("Birthday"), this);
    m_birthday = new QDateEdit(this);
    m_birthday->setCalendarPopup(true);
    m_birthday->setAccessibleName(tr("Birthday"));
    birthdayLine->addWidget(m_hasBirthday);
    birthdayLine->addWidget(m_birthday);
    birthdayLine->addStretch(1);
    column->addLayout(birthdayLine);

    m_about = new GrowingTextEdit(2, 4, this);
    m_about->setPlaceholderText(tr("About (favorite colors, what they love to draw)"));
    column->addWidget(m_about);

    connect(m_name, &QLineEdit::textEdited, this,
            [this](const QString& text) { change([&](Child& c) { c.name = text.toStdString(); }); });
    connect(m_trash, &QToolButton::clicked, this, [this] { m_model.removeChild(m_id); });
    connect(m_hasBirthday, &QCheckBox::toggled, this, [this](bool on) {
        change([&](Child& c) { c.birthday = on ? birthdayOn(c.birthday, QDateTime::currentDateTime()) : std::nullopt; });
    });
    // A birthday is a calendar day: the picked day is stored at its start in the local time zone.
    connect(m_birthday, &QDateEdit::dateChanged, this,
            [this](QDate picked) { change([&](Child& c) { c.birthday = date(picked.startOfDay()); }); });
    connect(m_about, &GrowingTextEdit::edited, this,
            [this](const QString& text) { change([&](Child& c) { c.about = text.toStdString(); }); });
    setChild(child);
}

std::optional<Date> ChildRow::birthdayOn(const std::optional<Date>& current, const QDateTime& now) {
    if (current) return current;
    const QDateTime back = now.addYears(-5);
    if (!back.isValid()) return std::nullopt;
    return date(back);
}

void ChildRow::setChild(const Child& child) {
    const QString name = QString::fromStdString(child.name);
    if (m_name->text() != name) m_name->setText(name);
    m_trash->setAccessibleName(tr("Remove ") + name);
    {
        const QSignalBlocker blockBox(m_hasBirthday);
        const QSignalBlocker blockPicker(m_birthday);
        m_hasBirthday->setChecked(child.birthday.has_value());
        m_birthday->setVisible(child.birthday.has_value());
        m_birthday->setDate(child.birthday ? local(*child.birthday).date() : QDate::currentDate());
    }
    m_about->setStoredText(QString::fromStdString(child.about));
}

void ChildRow::change(const std::function<void(Child&)>& edit) {
    auto children = m_model.children();
    const auto found =
        std::find_if(children.begin(), children.end(), [&](const Child& c) { return c.id == m_id; });
    if (found == children.end()) return;
    edit(*found);
    m_model.setChildren(std::move(children));
}

void ChildRow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette().color(QPalette::PlaceholderText);
    fill.setAlphaF(0.08f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()), 10, 10);
    QFrame::paintEvent(event);
}

}  // namespace quillfen
