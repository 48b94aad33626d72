#include "app/widgets/ChoiceBox.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace quillfen {

namespace {

// Entries are seldom shorter than this; the box asks for no more room than that.
constexpr int shortestEntry = 8;

}  // namespace

ChoiceBox::ChoiceBox(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(shortestEntry);
    connect(this, &QComboBox::currentIndexChanged, this, &ChoiceBox::updateTip);
}

QString ChoiceBox::shownText() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    int room = field.width() - 2;  // the label is drawn one pixel in from either side
    if (!option.currentIcon.isNull()) room -= option.iconSize.width() + 4;
    return fontMetrics().elidedText(currentText(), Qt::ElideRight, std::max(room, 0));
}

void ChoiceBox::showPopup() {
    QAbstractItemView* list = view();
    const int frame = 2 * list->frameWidth();
    const int bar = list->verticalScrollBar()->sizeHint().width();
    list->setMinimumWidth(list->sizeHintForColumn(0) + frame + bar);
    QComboBox::showPopup();
}

void ChoiceBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = shownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void ChoiceBox::resizeEvent(QResizeEvent* event) {
    QComboBox::resizeEvent(event);
    updateTip();
}

void ChoiceBox::updateTip() { setToolTip(shownText() == currentText() ? QString() : currentText()); }

}  // namespace quillfen
