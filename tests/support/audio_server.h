#pragma once
// Finds the private PulseAudio server that scripts/audio-server starts.

#include <gtest/gtest.h>

#include <QString>

#include "support/skips.h"

namespace testsupport {

// Points libpulse at the private server by setting PULSE_SERVER, unless it is set already.
// The server is looked for at $VONTALIX_AUDIO_DIR/native, default /tmp/vontalix-audio-<uid>/native
// (the script's defaults). Call before anything talks to PulseAudio; true when it points
// somewhere.
bool pointAtAudioServer();

// True when a PulseAudio server answers at the address libpulse uses.
bool audioServerRunning();

// True when the run asks for the end-to-end sound tests (.ci/run sets VONTALIX_REQUIRE_SOUND=1):
// without the private server they then fail instead of being skipped.
bool soundRequired();

// An address where no sound server answers.
inline constexpr const char* kNoServer = "unix:/nonexistent/vontalix-no-server";

}  // namespace testsupport

// In a test or its SetUp: goes on only when the private server answers (pointed: the address was
// set before any sound client started). Otherwise the test fails when the run asks for sound, and
// is skipped on a developer's machine without the server.
#define VONTALIX_NEED_AUDIO_SERVER(pointed)                                               \
    if (!(pointed) || !testsupport::audioServerRunning()) {                               \
        if (testsupport::soundRequired())                                                 \
            GTEST_FAIL() << "the private audio server does not answer; the run asks for " \
                            "the sound tests (VONTALIX_REQUIRE_SOUND)";                   \
        VONTALIX_SKIP_BECAUSE(                                                            \
            "the end-to-end sound tests (no private sound server; to include them: "      \
            "scripts/audio-server start, then make test)");                               \
    }
