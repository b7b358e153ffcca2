#pragma once
// Test media made on demand with the ffmpeg command-line tool: sines, chirps, noise and silence
// of known length, in the formats the program opens. Files are cached per process in a temp dir.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace testsupport {

enum class MediaKind { Mp3Cbr, Mp3Vbr, Mp3VbrNoHeader, M4a, Adts, MovWithVideo };
// Clicks: a 4 ms burst every half second from 0.1 s on, in one channel only (the other silent),
// so two lanes recorded together still tell apart. Noise: white noise from the given seed in one
// channel only, in which heard_sound.h finds what was heard.
enum class Signal { Chirp, Sine, Silence, ClicksLeft, ClicksRight, NoiseLeft, NoiseRight };

struct MediaSpec {
    MediaKind kind = MediaKind::Mp3Cbr;
    double seconds = 2.0;
    Signal signal = Signal::Chirp;
    int rate = 48000;
    int seed = 1;  // of the noise
};

// Path of a file with that content; empty when ffmpeg fails (the test should fail then).
QString makeMedia(const MediaSpec& spec);

// The ffmpeg command line's output options that encode sound as `kind` (a movie also gets a
// picture track of that length).
QStringList encoderArguments(MediaKind kind, double seconds);

// A copy of an MP3 file without an information tag (Mp3VbrNoHeader) with a VBRI tag put in front
// of its first frame, as some encoders write; empty on failure.
QString withVbriTag(const QString& headerless);

// An M4A of `seconds` of a sine, with a cover picture of `coverBytes` bytes (none at 0) and its
// `moov` box before the sound or after it, made in dir (big ones go with it); empty on failure.
QString m4aWithCover(double seconds, qint64 coverBytes, bool moovFirst, const QString& dir);

// A copy of the file's first `bytes` bytes under a name of its own: a file cut short.
QString truncatedCopy(const QString& path, qint64 bytes, const QString& name);

// Runs the ffmpeg command-line tool quietly, writing over its output file; true when it succeeded.
bool runFfmpeg(const QStringList& args);

// A writable directory that lives as long as the test process.
QString tempDir();

// Where the clicks of one channel (0 left, 1 right) of interleaved stereo begin, in seconds:
// the first sample past a threshold after a quiet stretch.
std::vector<double> clickOnsets(const std::vector<float>& stereo, int channel, int rate = 48000);

// Every sample of the file's first sound track as the mixer gets it (48 kHz interleaved stereo).
std::vector<float> decodeAll(const QString& path);

// Over interleaved stereo, counted in frames: the largest magnitude of `frames` frames from
// `from` on (as far as there are), and the largest difference between `frames` frames of `out`
// and of `ref` (infinity when either falls short).
double maxAbs(const std::vector<float>& v, size_t from = 0, size_t frames = SIZE_MAX);
double maxDiff(const std::vector<float>& out, size_t outFrom, const std::vector<float>& ref,
               size_t refFrom, size_t frames);

}  // namespace testsupport
