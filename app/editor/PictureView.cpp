#include "app/editor/PictureView.h"

#include "app/widgets/ScaledPictures.h"
#include "app/widgets/Spinner.h"
#include "engine/book/SlotGeometry.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace quillfen {

PictureView::PictureView(QWidget* parent)
    : QWidget(parent),
      m_fitted(new ScaledPictures(2, this)),
      m_spinner(new Spinner(this)),
      m_note(new QLabel(this)) {
    setMinimumSize(120, 120);
    connect(m_fitted, &ScaledPictures::ready, this, qOverload<>(&QWidget::update));
    m_spinner->setFixedSize(24, 24);
    m_note->setText(tr("Couldn't read this photo."));
    m_note->setAlignment(Qt::AlignCenter);
    m_note->setForegroundRole(QPalette::PlaceholderText);
}

void PictureView::setLoading() { showState(PreviewState::loading, {}); }

void PictureView::setUnreadable() { showState(PreviewState::unreadable, {}); }

void PictureView::setImage(const QImage& image) {
    if (image.isNull()) return setUnreadable();
    showState(PreviewState::shown, image);
}

void PictureView::showState(PreviewState state, const QImage& image) {
    m_state = state;
    m_image = image;
    placeChildren();
    update();
}

QRectF PictureView::imageRect() const {
    const double aspect = m_image.isNull() ? 1 : double(m_image.width()) / double(m_image.height());
    const double margin = std::min({pictureMargin, width() / 2.0, height() / 2.0});
    const Rect fitted =
        Paginator::aspectFit(aspect, Rect(margin, margin, width() - 2 * margin, height() - 2 * margin));
    return {fitted.origin.x, fitted.origin.y, fitted.size.width, fitted.size.height};
}

void PictureView::paintPicture(QPainter& painter, const QRectF& rect) {
    const QPixmap fitted = m_fitted->pixmap(m_image, rect.size(), devicePixelRatioF());
    if (!fitted.isNull()) return painter.drawPixmap(rect.topLeft(), fitted);
    // Coarsely, for the moment until the smooth picture arrives.
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect, m_image);
    painter.restore();
}

void PictureView::placeChildren() {
    m_spinner->setVisible(m_state == PreviewState::loading);
    m_spinner->move((width() - m_spinner->width()) / 2, (height() - m_spinner->height()) / 2);
    m_note->setVisible(m_state == PreviewState::unreadable);
    m_note->setGeometry(rect());
}

void PictureView::resizeEvent(QResizeEvent*) {
    placeChildren();
}

}  // namespace quillfen
