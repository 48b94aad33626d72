#pragma once

#include <algorithm>
#include <utility>

#include <sys/resource.h>
#include <unistd.h>

namespace quillfen {

// Runs the calling pool thread ten nice levels below the GUI thread, once per thread; call it first in
// every task of a pool whose work may fill all cores. At equal priority the scheduler gave the GUI
// thread no more than one worker's share during an import, and the window stalled for tens of ms.
inline void runBelowTheWindow() {
    thread_local bool lowered = false;
    if (lowered) return;
    lowered = true;
    const auto thread = static_cast<id_t>(gettid());
    setpriority(PRIO_PROCESS, thread, std::min(getpriority(PRIO_PROCESS, thread) + 10, 19));
}

// The task, run below the window on whichever pool thread takes it: for work handed to a pool as a
// function (QtConcurrent::run, QThreadPool::start).
template <typename Task>
auto belowTheWindow(Task task) {
    return [task = std::move(task)]() mutable {
        runBelowTheWindow();
        return task();
    };
}

}  // namespace quillfen
