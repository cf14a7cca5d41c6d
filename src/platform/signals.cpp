// The note of the signal that asks the run to end, the same on every system.
#include "platform/signals.h"

#include <atomic>
#include <cstdlib>

// The first signal wins. Lock-free, so that a signal handler may set it.
static std::atomic<int> stop_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);

bool ZE_note_stop_signal(int sig)
{
    int none = 0;
    return stop_signal.compare_exchange_strong(none, sig);
}

int ZE_stop_signal(void)
{
    return stop_signal.load(std::memory_order_relaxed);
}

void ZE_end_if_signalled(void)
{
    const int sig = ZE_stop_signal();
    if (sig != 0) {
        // The exit handlers remove the temporary file and shut the library
        // down (on Linux, one of them then ends the process by the signal
        // itself); elsewhere the status says which signal ended the run.
        exit(128 + sig);
    }
}
