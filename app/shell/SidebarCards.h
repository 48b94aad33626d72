#pragma once

#include <QAbstractButton>
#include <QImage>

class QLabel;

namespace quillfen {

class ScaledPictures;

// The book card's 44-point swatch: the cover colour with the cover drawing's thumbnail on it, scaled
// off the GUI thread when the thumbnail changes and drawn once ready. GUI thread.
class CoverSwatch : public QWidget {
    Q_OBJECT

public:
    explicit CoverSwatch(QWidget* parent = nullptr);
    void setCover(const QColor& color, const QImage& thumb);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
    QImage m_thumb;
    ScaledPictures* m_scaled;
};

// A card at the top of the sidebar: a leading picture, a headline and a caption, on a rounded plate
// tinted with the accent colour while the card's mode is shown. One accessible button. GUI thread.
class SidebarCard : public QAbstractButton {
    Q_OBJECT

public:
    SidebarCard(QWidget* leading, QMargins padding, QWidget* parent = nullptr);
    void setTexts(const QString& headline, const QString& caption);
    void setHighlighted(bool highlighted);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_headline;
    QLabel* m_caption;
    bool m_highlighted = false;
};

}  // namespace quillfen
