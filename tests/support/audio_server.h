#pragma once
// Finds the private PulseAudio server that scripts/audio-server starts.

#include <QString>

namespace testsupport {

// Points libpulse at the private server by setting PULSE_SERVER, unless it is set already.
// The server is looked for at $VONTALIX_AUDIO_DIR/native, default /tmp/vontalix-audio-<uid>/native
// (the script's defaults). Call before anything talks to PulseAudio; true when it points
// somewhere.
bool pointAtAudioServer();

// True when a PulseAudio server answers at the address libpulse uses.
bool audioServerRunning();

}  // namespace testsupport
