#pragma once
// Wakes sleeping threads without ever blocking the thread that rings: a counter the sleepers
// wait on in the kernel (a futex). Ringing is one atomic add, plus one system call that never
// waits when someone sleeps, so the mixer thread may ring it.

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <ctime>

namespace media {

class Doorbell {
  public:
    // What a sleeper reads before it looks for work; wait() returns once the bell rang since.
    uint32_t value() const { return word_.load(); }

    // Wakes up to `sleepers` threads waiting in wait().
    void ring(int sleepers = INT_MAX) {
        word_.fetch_add(1);
        if (sleepers_.load() > 0) futex(FUTEX_WAKE_PRIVATE, static_cast<uint32_t>(sleepers));
    }

    void wait(uint32_t seen) {
        sleepers_.fetch_add(1);
        // The kernel checks the word again before sleeping, so a ring in between is not lost.
        while (word_.load() == seen) futex(FUTEX_WAIT_PRIVATE, seen);
        sleepers_.fetch_sub(1);
    }

    // As wait(), but for at most `timeout`; true when the bell rang since `seen`.
    bool waitFor(uint32_t seen, std::chrono::nanoseconds timeout) {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point end = Clock::now() + timeout;
        sleepers_.fetch_add(1);
        for (Clock::time_point now = Clock::now(); word_.load() == seen && now < end;
             now = Clock::now()) {
            const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(end - now);
            const timespec ts{static_cast<time_t>(left.count() / 1000000000),
                              static_cast<long>(left.count() % 1000000000)};
            futex(FUTEX_WAIT_PRIVATE, seen, &ts);
        }
        sleepers_.fetch_sub(1);
        return word_.load() != seen;
    }

  private:
    static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t) &&
                  std::atomic<uint32_t>::is_always_lock_free);
    void futex(int op, uint32_t value, const timespec* timeout = nullptr) {
        syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word_), op, value, timeout, nullptr, 0);
    }

    std::atomic<uint32_t> word_{0};
    std::atomic<int> sleepers_{0};
};

}  // namespace media
