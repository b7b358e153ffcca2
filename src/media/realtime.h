#pragma once
// Sound threads ask the scheduler to run them ahead of ordinary work, so a busy machine does not
// starve the output: real-time round-robin at a low priority where the system allows it, else a
// raised nice level, else nothing changes.

namespace media {

enum class ThreadBoost { RealTime, Nice, None };

// For the calling thread; what it got.
ThreadBoost boostSoundThread();

}  // namespace media
