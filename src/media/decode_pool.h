#pragma once
// Decoder workers: keep every stream's ring about half a second ahead of its mixer. A worker
// sleeps while no ring has room; the mixer rings the pool's doorbell when a ring it reads from
// drops to half, so the workers never look on a timer.

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "media/doorbell.h"
#include "media/mixer.h"

namespace media::detail {

class DecodePool {
  public:
    static DecodePool& instance();
    ~DecodePool();
    void add(std::shared_ptr<Stream> s);  // any thread
    void setPaused(bool paused);
    // Lets the workers drop streams whose voices are gone (any thread).
    void wake() { bell_.ring(); }
    // Passes the workers made over the streams, for tests of their sleeping.
    int64_t passes() const { return passes_.load(std::memory_order_relaxed); }

  private:
    DecodePool();
    void run();
    bool fill(Stream& s);  // worker thread; true when it did work

    std::mutex mutex_;  // guards streams_; never taken by the mixer
    Doorbell bell_;
    std::vector<std::shared_ptr<Stream>> streams_;
    std::vector<std::thread> threads_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> paused_{false};
    std::atomic<int64_t> passes_{0};
};

}  // namespace media::detail
