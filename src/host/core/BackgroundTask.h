// Work handed to a background thread, as an operation queue would run it:
// each task gets a thread of its own with its own autorelease pool. The
// threads are joined before the process exits, so no task outlives the
// objects it uses.
#pragma once

#include <functional>

namespace host {

class BackgroundTask {
public:
    static void run(std::function<void()> work);
    // Blocks until every task started so far has finished.
    static void waitForAll();
};

}  // namespace host
