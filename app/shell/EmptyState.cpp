#include "app/shell/EmptyState.h"

#include "app/widgets/Icons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace quillfen {

namespace {

QLabel* centredText(const QString& text, int maximumWidth) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter);
    label->setMaximumWidth(maximumWidth);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

// Centres a wrapping label in a row of its own: an alignment flag would size it by its one-line hint and
// cut off the lines it wraps into.
QHBoxLayout* centred(QLabel* label) {
    auto* row = new QHBoxLayout;
    row->addStretch(0);
    row->addWidget(label, 1);
    row->addStretch(0);
    return row;
}

}  // namespace

EmptyState::EmptyState(AppModel& model, QWidget* parent)
    : QWidget(parent), m_photos(new QPushButton(tr("Add from Photos…"))) {
    auto* icon = new QLabel;
    QPixmap book = themeIcon(QStringLiteral("accessories-dictionary")).pixmap(54, 54);
    if (!book.isNull()) {
        QPainter tint(&book);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(book.rect(), palette().color(QPalette::Highlight));
    }
    icon->setPixmap(book);
    icon->setAccessibleName(QString());
    icon->setAlignment(Qt::AlignCenter);

    auto* headline = new QLabel(tr("Turn a year of drawings into a book"));
    QFont headlineFont = headline->font();
    headlineFont.setPointSizeF(headlineFont.pointSizeF() * 1.5);
    headlineFont.setWeight(QFont::DemiBold);
    headline->setFont(headlineFont);
    headline->setAlignment(Qt::AlignHCenter);

    auto* description = centredText(
        tr("Add phone photos or scans of your kids' drawings. Quillfen finds the paper, straightens it, evens "
           "out the light and whitens the background, then lays out a print-ready book for the grandparents."),
        480);
    auto* hint = centredText(tr("Or drop images or a folder here."), 440);

    auto* files = new QPushButton(tr("Add Files or Folder…"));
    auto* sample = new QPushButton(tr("Try a Sample Book"));
    m_photos->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_photos);
    buttons->addWidget(files);
    buttons->addWidget(sample);

    auto* stack = new QVBoxLayout;
    stack->setSpacing(18);
    stack->setContentsMargins(40, 40, 40, 40);
    stack->addWidget(icon, 0, Qt::AlignHCenter);
    stack->addWidget(headline, 0, Qt::AlignHCenter);
    stack->addLayout(centred(description));
    stack->addLayout(buttons);
    stack->setAlignment(buttons, Qt::AlignHCenter);
    stack->addLayout(centred(hint));
    auto* outer = new QVBoxLayout(this);
    outer->addStretch(1);
    outer->addLayout(stack);
    outer->addStretch(1);

    connect(m_photos, &QPushButton::clicked, this, [&model] { model.setPhotosPickerShown(true); });
    connect(files, &QPushButton::clicked, this, [&model] { model.chooseFiles(); });
    connect(sample, &QPushButton::clicked, this, [&model] { model.loadSampleBook(false); });
    // Return opens the photo dialog, as the default button of the panel, wherever the focus is.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, m_photos, &QPushButton::click);
    }
}

void EmptyState::setTargeted(bool targeted) {
    if (m_targeted == targeted) return;
    m_targeted = targeted;
    update();
}

QColor EmptyState::frameColor() const {
    if (m_targeted) return palette().color(QPalette::Highlight);
    QColor grey = palette().color(QPalette::PlaceholderText);
    grey.setAlphaF(0.35f);
    return grey;
}

void EmptyState::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(frameColor(), 2, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({4, 3});  // in pen widths: 8 points drawn, 6 blank
    pen.setMiterLimit(10);
    painter.setPen(pen);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(rect()).adjusted(25, 25, -25, -25), 15, 15);  // the stroke stays inside
    painter.drawPath(frame);
}

}  // namespace quillfen
