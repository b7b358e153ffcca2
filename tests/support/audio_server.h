#pragma once
// Finds the private PulseAudio server that scripts/audio-server starts.

#include <QString>

namespace testsupport {

// Points libpulse at the private server (PULSE_SERVER) when it runs and PULSE_SERVER is not set
// already; true when a server answers. The server is looked for at $VONTALIX_AUDIO_DIR/native,
// default /tmp/vontalix-audio-<uid>/native, the script's defaults.
bool useAudioServer();

}  // namespace testsupport
