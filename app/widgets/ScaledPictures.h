#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QThreadPool>

template <typename T>
class QFutureWatcher;

namespace quillfen {

// Pictures scaled for painting, each made once per picture and size on a pool below the window's
// priority: pixmap() answers at once with the ready pixmap, or with none while its scaling runs, and
// `ready` follows when one has arrived. Lives on the GUI thread; scalings still running when it goes
// are waited for and dropped.
class ScaledPictures : public QObject {
    Q_OBJECT

public:
    // Keeps up to `capacity` pixmaps, the least recently used leaving first.
    explicit ScaledPictures(int capacity, QObject* parent = nullptr);
    ~ScaledPictures() override;

    // The picture scaled smoothly to fit `box` (device-independent pixels) at the device pixel ratio,
    // its aspect kept; a null pixmap while it is being made or for a null picture.
    QPixmap pixmap(const QImage& picture, QSizeF box, qreal ratio);

Q_SIGNALS:
    void ready();

private:
    QCache<QString, QPixmap> m_ready;
    QHash<QString, QFutureWatcher<QImage>*> m_running;
    QThreadPool m_pool;
};

}  // namespace quillfen
