#pragma once
// One-hour files for the benchmarks, made once with the ffmpeg command line and kept beside the
// benchmark programs (media-cache), so later runs need not encode them again.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "support/media_gen.h"

// The folder beside the benchmark programs where their media are kept between runs.
inline QString benchMediaCache() {
    // A program without an application object finds itself through /proc.
    const QString programDir =
        QCoreApplication::instance()
            ? QCoreApplication::applicationDirPath()
            : QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).path();
    const QString dir = programDir + "/media-cache";
    QDir().mkpath(dir);
    return dir;
}

// A sine under pink noise that swells and fades every 20 s, so a VBR encoder really varies its
// frame sizes.
inline QString oneHourFile(testsupport::MediaKind kind) {
    const bool m4a = kind == testsupport::MediaKind::M4a;
    const QString path =
        benchMediaCache() + QStringLiteral("/hour-%1.%2").arg(int(kind)).arg(m4a ? "m4a" : "mp3");
    if (QFileInfo(path).size() > 0) return path;
    QStringList args = {"-nostdin",
                        "-loglevel",
                        "error",
                        "-y",
                        "-filter_complex",
                        "sine=frequency=440:sample_rate=44100:duration=3600[s];"
                        "anoisesrc=color=pink:sample_rate=44100:amplitude=0.3:duration=3600,"
                        "volume=eval=frame:volume='if(lt(mod(t\\,20)\\,10)\\,1\\,0.05)'[n];"
                        "[s][n]amix=inputs=2,aformat=channel_layouts=stereo"};
    const QString part = path + ".part." + QFileInfo(path).suffix();
    args << testsupport::encoderArguments(kind, 3600) << part;
    QProcess p;
    p.start("ffmpeg", args);
    if (!p.waitForFinished(-1) || p.exitCode() != 0 || !QFile::rename(part, path)) return {};
    return path;
}
