#include "app/book/PrintSpecSection.h"

#include "app/book/InchField.h"
#include "app/book/Stepper.h"
#include "app/widgets/ChoiceBox.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>

#include <algorithm>
#include <limits>

namespace quillfen {

namespace {

int shownCount(std::int64_t count) {
    return static_cast<int>(std::clamp<std::int64_t>(count, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

QFont captionFont(const QFont& base) {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * 0.85);
    return font;
}

}  // namespace

PrintSpecSection::PrintSpecSection(AppModel& model, QWidget* parent)
    : QGroupBox(tr("Print spec"), parent), m_model(model) {
    m_form = new QFormLayout(this);
    m_printer = new ChoiceBox(this);
    for (const auto& [preset, name] : CaseNames<PrintPreset>::cases) {
        m_printer->addItem(QString::fromUtf8(quillfen::title(preset)), static_cast<int>(preset));
    }
    m_form->addRow(tr("Printer"), m_printer);

    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    m_note->setFont(captionFont(font()));
    QPalette dimmed = m_note->palette();
    dimmed.setColor(QPalette::WindowText, dimmed.color(QPalette::PlaceholderText));
    m_note->setPalette(dimmed);
    m_form->addRow(m_note);

    m_bleed = new InchField([this](double points) { change([&](BookSettings& s) { s.spec.bleed = points; }); },
                            this);
    m_safe = new InchField([this](double points) { change([&](BookSettings& s) { s.spec.safe = points; }); },
                           this);
    m_form->addRow(QStringLiteral("Bleed"), m_bleed);
    m_form->addRow(QStringLiteral("Safe margin"), m_safe);
    m_multiple = new Stepper(
        1, 8, [](int value) { return tr("Pages in multiples of %1").arg(value); },
        [this](int value) { change([&](BookSettings& s) { s.spec.pageMultiple = value; }); }, this);
    m_minimum = new Stepper(
        1, 200, [](int value) { return tr("At least %1 pages").arg(value); },
        [this](int value) { change([&](BookSettings& s) { s.spec.minimumPages = value; }); }, this);
    m_form->addRow(m_multiple);
    m_form->addRow(m_minimum);

    auto* caveat = new QWidget(this);
    auto* caveatRow = new QHBoxLayout(caveat);
    caveatRow->setContentsMargins(0, 0, 0, 0);
    QPalette orange = caveat->palette();
    orange.setColor(QPalette::WindowText, QColor(255, 149, 0));
    caveat->setPalette(orange);
    auto* symbol = new QLabel(caveat);
    const int side = fontMetrics().height();
    symbol->setPixmap(QIcon::fromTheme("dialog-information").pixmap(side, side));
    auto* caveatText = new QLabel(QString::fromUtf8(printPresetCaveat), caveat);
    caveatText->setWordWrap(true);
    caveatText->setFont(captionFont(font()));
    caveatRow->addWidget(symbol, 0, Qt::AlignTop);
    caveatRow->addWidget(caveatText, 1);
    m_form->addRow(caveat);

    connect(m_printer, &QComboBox::activated, this, [this](int index) {
        const auto preset = static_cast<PrintPreset>(m_printer->itemData(index).toInt());
        change([preset](BookSettings& s) { s.setPreset(preset); });
    });
    connect(&model, &AppModel::settingsChanged, this, &PrintSpecSection::refresh);
    refresh();
}

void PrintSpecSection::change(const std::function<void(BookSettings&)>& edit) {
    auto settings = m_model.settings();
    edit(settings);
    m_model.setSettings(std::move(settings));
}

void PrintSpecSection::refresh() {
    const auto& settings = m_model.settings();
    {
        const QSignalBlocker blocker(m_printer);
        m_printer->setCurrentIndex(m_printer->findData(static_cast<int>(settings.preset)));
    }
    m_note->setText(QString::fromUtf8(quillfen::note(settings.preset)));
    m_bleed->setPoints(settings.spec.bleed);
    m_safe->setPoints(settings.spec.safe);
    m_multiple->setValue(shownCount(settings.spec.pageMultiple));
    m_minimum->setValue(shownCount(settings.spec.minimumPages));
    const bool custom = settings.preset == PrintPreset::custom;
    for (QWidget* row : {static_cast<QWidget*>(m_bleed), static_cast<QWidget*>(m_safe),
                         static_cast<QWidget*>(m_multiple), static_cast<QWidget*>(m_minimum)}) {
        m_form->setRowVisible(row, custom);
    }
}

}  // namespace quillfen
