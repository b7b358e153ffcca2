#pragma once
// Shared handling of libpulse connection objects.

#include <pulse/context.h>
#include <pulse/subscribe.h>
#include <pulse/thread-mainloop.h>

namespace media::detail {

// Silences a connection's callbacks, closes it and lets it go; ctx becomes nullptr.
inline void closeContext(pa_context*& ctx) {
    if (!ctx) return;
    pa_context_set_state_callback(ctx, nullptr, nullptr);
    pa_context_set_subscribe_callback(ctx, nullptr, nullptr);
    pa_context_disconnect(ctx);
    pa_context_unref(ctx);
    ctx = nullptr;
}

// Holds a threaded loop's lock for a scope (the loop thread holds it while it runs callbacks).
class LoopLock {
  public:
    explicit LoopLock(pa_threaded_mainloop* l) : l_(l) { pa_threaded_mainloop_lock(l_); }
    ~LoopLock() { pa_threaded_mainloop_unlock(l_); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

  private:
    pa_threaded_mainloop* l_;
};

}  // namespace media::detail
