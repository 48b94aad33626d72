#include "app/widgets/ScaledPictures.h"

#include "app/model/detail/ThreadPriority.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace quillfen {

ScaledPictures::ScaledPictures(int capacity, QObject* parent) : QObject(parent), m_ready(capacity) {
    m_pool.setMaxThreadCount(1);
}

ScaledPictures::~ScaledPictures() {
    for (auto* watcher : std::as_const(m_running)) watcher->disconnect(this);
    m_pool.waitForDone();
}

QPixmap ScaledPictures::pixmap(const QImage& picture, QSizeF box, qreal ratio) {
    if (picture.isNull() || box.isEmpty()) return {};
    const QSize pixels = (QSizeF(picture.size()).scaled(box, Qt::KeepAspectRatio) * ratio).toSize().expandedTo({1, 1});
    const QString key = QStringLiteral("%1 %2x%3 %4").arg(picture.cacheKey()).arg(pixels.width()).arg(pixels.height()).arg(ratio);
    if (const QPixmap* found = m_ready.object(key)) return *found;
    if (m_running.contains(key)) return {};
    auto* watcher = new QFutureWatcher<QImage>(this);
    m_running.insert(key, watcher);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, key, ratio] {
        watcher->deleteLater();
        m_running.remove(key);
        if (watcher->isCanceled() || watcher->future().resultCount() == 0) return;
        auto* made = new QPixmap(QPixmap::fromImage(watcher->result()));
        made->setDevicePixelRatio(ratio);
        m_ready.insert(key, made, 1);
        Q_EMIT ready();
    });
    watcher->setFuture(QtConcurrent::run(&m_pool, belowTheWindow([picture, pixels] {
        return picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    })));
    return {};
}

}  // namespace quillfen
