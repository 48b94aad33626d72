#pragma once

#include "app/model/detail/ThreadPriority.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <functional>
#include <optional>
#include <utility>

namespace quillfen {

// One slot of background work keyed by a value: starting a job for a new key makes every older job's
// result stale, and a result is applied on the GUI thread only while its key is still current. A job
// cancelled or failed (it threw) delivers nothing, even when its key is current again by then. The
// slot lives on the GUI thread inside its owner; when the owner is destroyed, pending results are
// dropped (the jobs themselves hold only copies and finish on their pool).
template <typename Key, typename Result>
class KeyedJob {
public:
    explicit KeyedJob(QObject* owner) : m_owner(owner) {}

    // Starts `job` on `pool`, below the window's priority, unless a job for an equal key is already
    // current; `apply` receives the result on the GUI thread if the key is still current when it ends.
    void start(QThreadPool& pool, Key key, std::function<Result()> job,
               std::function<void(Result)> apply) {
        if (m_key && *m_key == key) return;
        watch(std::move(key), QtConcurrent::run(&pool, belowTheWindow(std::move(job))), std::move(apply));
    }

    // As start, for work another holder started already: `apply` receives the future's result. When
    // the current job ends without a result, the key is forgotten so that the next start runs again.
    void watch(Key key, QFuture<Result> future, std::function<void(Result)> apply) {
        if (m_key && *m_key == key) return;
        m_key = key;
        auto* watcher = new QFutureWatcher<Result>(m_owner);
        m_current = watcher;
        QObject::connect(watcher, &QFutureWatcherBase::finished, m_owner,
                         [this, watcher, key = std::move(key), apply = std::move(apply)] {
                             watcher->deleteLater();
                             const bool current = m_current == watcher;
                             if (current) m_current = nullptr;
                             // A cancelled or failed future holds no result to read.
                             if (watcher->isCanceled() || watcher->future().resultCount() == 0) {
                                 if (current) m_key.reset();
                                 return;
                             }
                             if (m_key && *m_key == key) apply(watcher->result());
                         });
        watcher->setFuture(std::move(future));
    }

    // Forgets the current key: a running job's result is dropped and the next start always runs.
    void reset() {
        m_key.reset();
        m_current = nullptr;
    }
    const std::optional<Key>& key() const { return m_key; }

private:
    QObject* m_owner;
    std::optional<Key> m_key;
    const QObject* m_current = nullptr;  // the watcher of the current key's job, until it ends
};

}  // namespace quillfen
