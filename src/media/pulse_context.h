#pragma once
// Shared handling of libpulse connection objects.

#include <pulse/context.h>
#include <pulse/subscribe.h>

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

}  // namespace media::detail
