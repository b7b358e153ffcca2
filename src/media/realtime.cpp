#include "media/realtime.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

namespace media {

namespace {
// Low among real-time threads: above every ordinary thread, below the sound server's own.
constexpr int kRealTimePriority = 5;
constexpr int kNice = -11;
}  // namespace

ThreadBoost boostSoundThread() {
    sched_param param{};
    param.sched_priority = std::max(kRealTimePriority, sched_get_priority_min(SCHED_RR));
    if (pthread_setschedparam(pthread_self(), SCHED_RR, &param) == 0) return ThreadBoost::RealTime;
    // On Linux a nice level belongs to the thread.
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    if (setpriority(PRIO_PROCESS, tid, kNice) == 0) return ThreadBoost::Nice;
    return ThreadBoost::None;
}

}  // namespace media
