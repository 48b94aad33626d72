#pragma once

#include <QCache>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace quillfen {

class ScaledPictures;

// Draws the sidebar's rows from DrawingListModel: section headers, and drawing rows with their thumbnail
// (or grey placeholder), a spinner while busy, title, detail line and the featured and low-resolution
// badges. Thumbnails are the model's images, scaled once per image off the GUI thread and painted
// when ready (`thumbnailsReady` asks the view to repaint). A row's texts are elided and laid out once per
// text, font and width, not at every repaint. GUI thread only.
class DrawingRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit DrawingRowDelegate(QObject* parent = nullptr);

    // The spinners' frame; the list advances it while a drawing is busy.
    void setPhase(int phase) { m_phase = phase; }
    // Where a drawing row whose rectangle is `row` shows its spinner: all a new frame repaints.
    static QRect spinnerRect(const QRect& row);
    ScaledPictures* thumbnails() const { return m_thumbnails; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    void paintHeader(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintThumbnail(QPainter* painter, const QRectF& frame, const QImage& thumb, qreal ratio) const;
    // A badge from the icon theme, tinted with `color` unless the theme's own colours are kept.
    QPixmap badge(const QString& icon, const QColor& color, bool themeColours, qreal ratio) const;
    // The text elided to `width` in `font`, laid out for painting in that font.
    const QStaticText& line(const QString& text, const QFont& font, int width) const;

    int m_phase = 0;
    ScaledPictures* m_thumbnails;
    mutable QCache<QString, QPixmap> m_badges;
    mutable QCache<QString, QStaticText> m_lines;
};

}  // namespace quillfen
