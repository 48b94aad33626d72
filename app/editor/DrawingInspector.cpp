#include "app/editor/DrawingInspector.h"

#include "app/editor/EditorTexts.h"
#include "app/widgets/BookCover.h"
#include "app/widgets/ChoiceBox.h"
#include "app/widgets/WarningRow.h"
#include "app/widgets/WheelGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

namespace quillfen {

namespace {

// The name without Unicode space separators and tabs at either end; line breaks stay.
QString trimmedName(const QString& name) {
    const auto blank = [](QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; };
    qsizetype start = 0;
    qsizetype end = name.size();
    while (start < end && blank(name[start])) ++start;
    while (end > start && blank(name[end - 1])) --end;
    return name.mid(start, end - start);
}

QDateTime localTime(Date date) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(date.unixSeconds() * 1000)));
}

const Drawing* findDrawing(const AppModel& model, const UUID& id) {
    for (const Drawing& drawing : model.drawings())
        if (drawing.info.id == id) return &drawing;
    return nullptr;
}

void setTextKeepingCursor(QLineEdit* field, const QString& text) {
    if (field->text() != text) field->setText(text);
}

}  // namespace

DrawingInspector::DrawingInspector(AppModel& model, const Drawing& drawing, QWidget* parent)
    : DrawingScreen(parent),
      m_model(model),
      m_drawing(drawing),
      m_title(new QLineEdit(this)),
      m_artist(new ChoiceBox(this)),
      m_addChild(new QPushButton(tr("Add a Child…"), this)),
      m_drawn(new QDateEdit(this)),
      m_age(new QLineEdit(this)),
      m_showsAs(new QLabel(this)),
      m_featured(new QCheckBox(tr("Give it a page of its own"), this)),
      m_cover(new QCheckBox(tr("Use on the cover"), this)),
      m_pixels(new QLabel(this)),
      m_sharp(new QLabel(this)),
      m_warnings(new QWidget(this)),
      m_warningRows(new QVBoxLayout(m_warnings)),
      m_remove(new QPushButton(tr("Remove from Book…"), this)) {
    auto* column = new QVBoxLayout(this);

    auto* captionBox = new QGroupBox(tr("Caption"), this);
    auto* caption = new QFormLayout(captionBox);
    m_title->setPlaceholderText(tr("Mom on a rocket"));
    caption->addRow(tr("Title"), m_title);
    caption->addRow(tr("Artist"), m_artist);
    caption->addRow(QString(), m_addChild);
    m_drawn->setCalendarPopup(true);
    caption->addRow(tr("Drawn"), m_drawn);
    caption->addRow(tr("Age"), m_age);
    QFont small = m_showsAs->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_showsAs->setFont(small);
    m_showsAs->setForegroundRole(QPalette::PlaceholderText);
    m_showsAs->setWordWrap(true);
    caption->addRow(m_showsAs);
    column->addWidget(captionBox);

    auto* bookBox = new QGroupBox(tr("In the book"), this);
    auto* book = new QVBoxLayout(bookBox);
    m_featured->setToolTip(tr("In the mixed layout, featured drawings always get a full page"));
    book->addWidget(m_featured);
    book->addWidget(m_cover);
    column->addWidget(bookBox);

    auto* sizeBox = new QGroupBox(tr("Print size"), this);
    auto* size = new QFormLayout(sizeBox);
    size->addRow(tr("Pixels"), m_pixels);
    size->addRow(tr("Sharp up to"), m_sharp);
    m_warningRows->setContentsMargins(0, 0, 0, 0);
    size->addRow(m_warnings);
    column->addWidget(sizeBox);

    // Removing is destructive: the button reads in the warning red of the platform's destructive buttons.
    QPalette destructive = m_remove->palette();
    destructive.setColor(QPalette::ButtonText, QColor(0xd7, 0x00, 0x15));
    m_remove->setPalette(destructive);
    column->addWidget(m_remove);
    column->addStretch(1);

    connect(m_title, &QLineEdit::textEdited, this, [this](const QString& text) {
        setField([title = text.toStdString()](DrawingInfo& info) { info.title = title; });
    });
    connect(m_artist, &QComboBox::activated, this, [this](int row) {
        const auto id = UUID::parse(m_artist->itemData(row).toString().toStdString());
        setField([id](DrawingInfo& info) { info.childID = id; });
    });
    connect(m_drawn, &QDateEdit::dateChanged, this, [this](QDate day) {
        const QDateTime before = localTime(m_drawing.info.date);
        const Date date = Date::fromUnixSeconds(QDateTime(day, before.time()).toMSecsSinceEpoch() / 1000.0);
        setField([date](DrawingInfo& info) { info.date = date; });
    });
    connect(m_age, &QLineEdit::textEdited, this, [this](const QString& text) {
        setField([age = text.toStdString()](DrawingInfo& info) { info.age = age; });
    });
    connect(m_featured, &QCheckBox::clicked, this, [this](bool on) {
        setField([on](DrawingInfo& info) { info.featured = on; });
    });
    connect(m_cover, &QCheckBox::clicked, this, &DrawingInspector::setCover);
    connect(m_remove, &QPushButton::clicked, this, [this] { m_model.setRemoveConfirm(m_drawing.info.id); });
    connect(m_addChild, &QPushButton::clicked, this, [this] {
        m_popup->move(m_addChild->mapToGlobal(QPoint(0, m_addChild->height())));
        m_popup->show();
        m_newChild->setFocus();
    });
    makePopup();
    guardWheel(this);

    connect(&model, &AppModel::drawingsChanged, this, [this] {
        if (isAside()) return;
        if (const Drawing* current = findDrawing(m_model, m_drawing.info.id)) setDrawing(*current);
    });
    connect(&model, &AppModel::selectedIDChanged, this, [this] {
        if (!isAside()) catchUp();
    });
    for (const auto signal : {&AppModel::childrenChanged, &AppModel::settingsChanged}) {
        connect(&model, signal, this, [this] {
            if (!isAside()) refresh();
        });
    }
    refresh();
}

void DrawingInspector::catchUp() {
    if (const auto selected = m_model.selected()) setDrawing(*selected);
}

void DrawingInspector::letGo() {
    m_popup->hide();
    m_newChild->clear();
}

void DrawingInspector::makePopup() {
    m_popup = new QFrame(this, Qt::Popup);
    m_popup->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(m_popup);
    row->setContentsMargins(12, 12, 12, 12);
    m_newChild = new QLineEdit(m_popup);
    m_newChild->setPlaceholderText(tr("Name"));
    m_newChild->setAccessibleName(tr("Name"));
    m_newChild->setFixedWidth(160);
    m_add = new QPushButton(tr("Add"), m_popup);
    m_add->setEnabled(false);
    row->addWidget(m_newChild);
    row->addWidget(m_add);
    connect(m_newChild, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_add->setEnabled(!trimmedName(text).isEmpty()); });
    connect(m_newChild, &QLineEdit::returnPressed, this, &DrawingInspector::commitNewChild);
    connect(m_add, &QPushButton::clicked, this, &DrawingInspector::commitNewChild);
}

void DrawingInspector::setDrawing(const Drawing& drawing) {
    m_drawing = drawing;
    refresh();
}

void DrawingInspector::refresh() {
    const DrawingInfo& info = m_drawing.info;
    const auto child = m_model.child(info.childID);
    const QSignalBlocker blockTitle(m_title);
    const QSignalBlocker blockArtist(m_artist);
    const QSignalBlocker blockDrawn(m_drawn);
    const QSignalBlocker blockAge(m_age);
    const QSignalBlocker blockFeatured(m_featured);
    const QSignalBlocker blockCover(m_cover);

    setTextKeepingCursor(m_title, QString::fromStdString(info.title));
    refreshArtists();
    m_artist->setCurrentIndex(!info.childID ? 0
                                            : m_artist->findData(QString::fromStdString(info.childID->string())));
    m_drawn->setDate(localTime(info.date).date());
    setTextKeepingCursor(m_age, QString::fromStdString(info.age));
    m_age->setPlaceholderText(EditorTexts::agePrompt(info, child));
    m_showsAs->setText(tr("Shows as: %1").arg(EditorTexts::showsAsLine(info, child, m_model.settings())));
    m_featured->setChecked(info.featured);
    m_cover->setChecked(BookCover::coverDrawing(m_model) == info.id);
    m_cover->setEnabled(BookCover::canBeCover(m_model, info.id));
    m_pixels->setText(EditorTexts::pixelText(info.pixelSize));
    m_sharp->setText(EditorTexts::sharpSizeText(info.pixelSize));

    std::vector<LayoutWarning> warnings;
    for (const LayoutWarning& warning : m_model.layout().warnings) {
        if (warning.drawing == info.id) warnings.push_back(warning);
    }
    if (warnings == m_shownWarnings) return;
    m_shownWarnings = std::move(warnings);
    while (QLayoutItem* item = m_warningRows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const LayoutWarning& warning : m_shownWarnings) m_warningRows->addWidget(new WarningRow(warning, m_warnings));
}

// The picker is filled again only when the children changed: filling it lays the inspector out anew.
void DrawingInspector::refreshArtists() {
    QStringList names{tr("None")};
    QStringList ids{QString()};
    for (const Child& c : m_model.children()) {
        names << QString::fromStdString(c.name);
        ids << QString::fromStdString(c.id.string());
    }
    bool same = m_artist->count() == names.size();
    for (int i = 0; same && i < m_artist->count(); ++i)
        same = m_artist->itemText(i) == names[i] && m_artist->itemData(i).toString() == ids[i];
    if (same) return;
    m_artist->clear();
    for (qsizetype i = 0; i < names.size(); ++i) m_artist->addItem(names[i], ids[i]);
}

void DrawingInspector::setField(const std::function<void(DrawingInfo&)>& change) {
    m_model.update(m_drawing.info.id, change);
}

void DrawingInspector::setCover(bool on) {
    BookSettings settings = m_model.settings();
    settings.coverDrawing = on ? std::optional<UUID>(m_drawing.info.id) : std::nullopt;
    m_model.setSettings(settings);
    // The cover choice counts as one more change of the document, also when the value stayed.
    m_model.setSettings(m_model.settings());
}

void DrawingInspector::commitNewChild() {
    const QString name = trimmedName(m_newChild->text());
    if (name.isEmpty()) return;
    const UUID id = m_model.addChild(name);
    setField([id](DrawingInfo& info) { info.childID = id; });
    m_newChild->clear();
    m_popup->hide();
}

}  // namespace quillfen
