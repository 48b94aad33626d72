#include "ModelFixtures.h"

#include "app/model/KeyedJob.h"

#include <QObject>
#include <QPromise>
#include <QSemaphore>
#include <QTest>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace quillfen;
using namespace quillfen::testing;

// The editor drops a queued photo load (cancelling it) when the user moves on, and the user comes
// back before the pool reached it: the cancelled load's end finds its key current again.
TEST(KeyedJob, CancelledJobNeverDeliversWhenItsKeyReturns) {
    inChildProcess([] {
        QThreadPool pool;
        pool.setMaxThreadCount(1);
        QSemaphore gate;
        pool.start([&gate] { gate.acquire(); });  // holds the pool until the loads below are queued

        QObject owner;
        KeyedJob<int, int> job(&owner);
        std::vector<int> applied;
        const auto apply = [&](int value) { applied.push_back(value); };
        QFuture<int> dropped = QtConcurrent::run(&pool, [] { return 1; });
        job.watch(1, dropped, apply);
        job.start(pool, 2, [] { return 2; }, apply);
        dropped.cancel();
        job.start(pool, 1, [] { return 10; }, apply);
        gate.release();
        pool.waitForDone();
        QTest::qWait(50);
        return applied == std::vector<int>{10};
    });
}

// A job that threw, or was cancelled, while its key was current: nothing is applied, and asking for
// the same key again runs a new job instead of waiting for the one that ended.
TEST(KeyedJob, FailedOrCancelledCurrentJobNeverDeliversAndTheNextStartRunsAgain) {
    inChildProcess([] {
        QObject owner;
        KeyedJob<int, int> job(&owner);
        std::vector<int> applied;
        const auto apply = [&](int value) { applied.push_back(value); };
        QThreadPool pool;
        job.start(pool, 1, []() -> int { throw std::runtime_error("decoder failed"); }, apply);
        pool.waitForDone();
        QTest::qWait(50);
        QPromise<int> cancelled;
        cancelled.start();
        job.watch(2, cancelled.future(), apply);
        cancelled.future().cancel();
        cancelled.finish();
        QTest::qWait(50);
        if (!applied.empty()) return false;
        job.start(pool, 2, [] { return 2; }, apply);
        if (!QTest::qWaitFor([&] { return applied.size() == 1; }, 5000)) return false;
        job.start(pool, 1, [] { return 1; }, apply);
        return QTest::qWaitFor([&] { return applied == std::vector<int>{2, 1}; }, 5000);
    });
}
