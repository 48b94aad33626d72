#include "app/book/BookInspector.h"

#include "app/book/GrowingTextEdit.h"
#include "app/book/PrintSpecSection.h"
#include "app/widgets/BookCover.h"
#include "app/widgets/ChoiceBox.h"
#include "app/widgets/WheelGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillfen {

namespace {

QGroupBox* section(const QString& title, QWidget* parent, QFormLayout*& form) {
    auto* box = new QGroupBox(title, parent);
    form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return box;
}

}  // namespace

BookInspector::BookInspector(AppModel& model, QWidget* parent) : QScrollArea(parent), m_model(model) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);

    QFormLayout* cover = nullptr;
    column->addWidget(section(tr("Cover"), body, cover));
    addLine(cover, tr("Title"), tr("Our Art, 2026"), &BookSettings::title);
    addLine(cover, tr("Subtitle"), tr("by Zizu and Roz"), &BookSettings::subtitle);
    m_coverDrawing = new ChoiceBox(body);
    cover->addRow(tr("Drawing"), m_coverDrawing);
    connect(m_coverDrawing, &QComboBox::activated, this, [this](int index) {
        const auto id = UUID::parse(m_coverDrawing->itemData(index).toString().toStdString());
        change([id](BookSettings& s) { s.coverDrawing = id; });
    });
    addPicker(cover, tr("Color"), &BookSettings::coverColor, [](CoverColor c) { return label(c); });
    m_coverInInterior = addSwitch(cover, tr("Cover is page 1 of the book file"), &BookSettings::coverInInterior);
    m_coverInInterior->setToolTip(
        tr("Some printers want the cover as its own file: turn this off and use Export › Cover Only."));

    column->addWidget(section(tr("Pages"), body, m_pages));
    m_size = addPicker(m_pages, tr("Size"), &BookSettings::size, [](BookSize s) { return quillfen::title(s); });
    m_arrangement = addPicker(m_pages, tr("Drawings"), &BookSettings::arrangement,
                              [](Arrangement a) { return label(a); });
    addPicker(m_pages, tr("Order"), &BookSettings::order, [](BookOrder o) { return label(o); });
    m_caption = addPicker(m_pages, tr("Captions"), &BookSettings::caption,
                          [](CaptionStyle c) { return label(c); });
    m_showName = addSwitch(m_pages, tr("Child's name"), &BookSettings::showName);
    m_showAge = addSwitch(m_pages, tr("Age"), &BookSettings::showAge);
    m_showDate = addSwitch(m_pages, tr("Month and year"), &BookSettings::showDate);
    addSwitch(m_pages, tr("\u201CAbout the artist\u201D pages"), &BookSettings::aboutPages);
    addText(m_pages, tr("Dedication"), tr("For Grandma and Grandpa"), &BookSettings::dedication);
    addText(m_pages, tr("Back page"), tr("Made with love, 2026"), &BookSettings::closing);
    auto* children = new QPushButton(tr("Children…"), body);
    m_pages->addRow(children);
    connect(children, &QPushButton::clicked, this, [this] { m_model.setChildrenShown(true); });

    m_printSpec = new PrintSpecSection(model, body);
    column->addWidget(m_printSpec);

    auto* exports = new QGroupBox(body);
    auto* exportColumn = new QVBoxLayout(exports);
    // Ctrl+E belongs to the window's Export command, which does the same in book mode; a second
    // binding here would make the key ambiguous and dead.
    auto* exportBook = new QPushButton(tr("Export Book…"), exports);
    auto* exportHome = new QPushButton(tr("Export for Home Printing…"), exports);
    exportColumn->addWidget(exportBook);
    exportColumn->addWidget(exportHome);
    column->addWidget(exports);
    column->addStretch(1);
    connect(exportBook, &QPushButton::clicked, this, [this] { m_model.requestExport(ExportKind::print); });
    connect(exportHome, &QPushButton::clicked, this, [this] { m_model.requestExport(ExportKind::home); });

    setWidget(body);
    guardWheel(this);
    connect(&model, &AppModel::settingsChanged, this, [this] {
        if (!isAside()) refresh();
    });
    for (const auto signal : {&AppModel::drawingsChanged, &AppModel::calendarChanged}) {
        connect(&model, signal, this, [this] {
            if (!isAside()) refreshCoverChoices();
        });
    }
    refresh();
}

void BookInspector::change(const std::function<void(BookSettings&)>& edit) {
    auto settings = m_model.settings();
    edit(settings);
    m_model.setSettings(std::move(settings));
}

QCheckBox* BookInspector::addSwitch(QFormLayout* form, const QString& title, bool BookSettings::*field) {
    auto* box = new QCheckBox(title, form->parentWidget());
    form->addRow(box);
    connect(box, &QCheckBox::toggled, this, [this, field](bool on) { change([&](BookSettings& s) { s.*field = on; }); });
    m_refreshers.push_back([this, box, field] {
        const QSignalBlocker blocker(box);
        box->setChecked(m_model.settings().*field);
    });
    return box;
}

void BookInspector::addLine(QFormLayout* form, const QString& title, const QString& prompt,
                            std::string BookSettings::*field) {
    auto* line = new QLineEdit(form->parentWidget());
    line->setPlaceholderText(prompt);
    form->addRow(title, line);
    connect(line, &QLineEdit::textEdited, this,
            [this, field](const QString& typed) { change([&](BookSettings& s) { s.*field = typed.toStdString(); }); });
    m_refreshers.push_back([this, line, field] {
        const QString stored = QString::fromStdString(m_model.settings().*field);
        if (line->text() != stored) line->setText(stored);
    });
}

void BookInspector::addText(QFormLayout* form, const QString& title, const QString& prompt,
                            std::string BookSettings::*field) {
    auto* edit = new GrowingTextEdit(1, 0, form->parentWidget());
    edit->setPlaceholderText(prompt);
    form->addRow(title, edit);
    connect(edit, &GrowingTextEdit::edited, this,
            [this, field](const QString& typed) { change([&](BookSettings& s) { s.*field = typed.toStdString(); }); });
    m_refreshers.push_back(
        [this, edit, field] { edit->setStoredText(QString::fromStdString(m_model.settings().*field)); });
}

template <typename E, typename Label>
QComboBox* BookInspector::addPicker(QFormLayout* form, const QString& title, E BookSettings::*field, Label label) {
    auto* picker = new ChoiceBox(form->parentWidget());
    for (const auto& [value, name] : CaseNames<E>::cases) picker->addItem(QString::fromUtf8(label(value)), static_cast<int>(value));
    form->addRow(title, picker);
    connect(picker, &QComboBox::activated, this, [this, picker, field](int index) {
        const auto value = static_cast<E>(picker->itemData(index).toInt());
        change([&](BookSettings& s) { s.*field = value; });
    });
    m_refreshers.push_back([this, picker, field] {
        const QSignalBlocker blocker(picker);
        picker->setCurrentIndex(picker->findData(static_cast<int>(m_model.settings().*field)));
    });
    return picker;
}

void BookInspector::refresh() {
    for (const auto& refresher : m_refreshers) refresher();
    const bool captions = m_model.settings().caption != CaptionStyle::none;
    for (QWidget* row : {m_showName, m_showAge, m_showDate}) m_pages->setRowVisible(row, captions);
    refreshCoverChoices();
}

void BookInspector::refreshCoverChoices() {
    const QSignalBlocker blocker(m_coverDrawing);
    const auto drawings = m_model.bookDrawings();
    bool same = m_coverDrawing->count() == static_cast<int>(drawings.size());
    for (int i = 0; same && i < m_coverDrawing->count(); ++i) {
        same = m_coverDrawing->itemData(i).toString() == QString::fromStdString(drawings[i].info.id.string()) &&
               m_coverDrawing->itemText(i) == BookCover::choiceLabel(drawings[i]);
    }
    if (!same) {
        m_coverDrawing->clear();
        for (const auto& d : drawings) {
            m_coverDrawing->addItem(BookCover::choiceLabel(d), QString::fromStdString(d.info.id.string()));
        }
    }
    const auto cover = BookCover::coverDrawing(m_model);
    m_coverDrawing->setCurrentIndex(
        cover ? m_coverDrawing->findData(QString::fromStdString(cover->string())) : -1);
}

}  // namespace quillfen
