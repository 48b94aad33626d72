#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QLabel>

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

// A one-line label that shows its text whole when it fits and elided with "…" to its width otherwise,
// as the drawing rows do. GUI thread only.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);
    void setFullText(const QString& text);
    const QString& fullText() const { return m_full; }

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString m_full;
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
    ElidedLabel* m_headline;
    ElidedLabel* m_caption;
    bool m_highlighted = false;
};

}  // namespace quillfen
