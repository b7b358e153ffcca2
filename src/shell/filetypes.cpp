#include "shell/filetypes.h"

#include "platform/filetypes.h"

namespace FileTypes {

void registerAll() {
    struct Row {
        const char *name, *extensions, *macType, *macCreator;
    };
    static constexpr Row kRows[] = {
        {"audio/aac", ".aac;.adts;.m4a", "adts", "TVOD"},
        {"audio/mp3", ".mp3;.swa", "Mp3 ", "TVOD"},
        {"audio/x-mpeg3", ".mp3;.swa", "Mp3 ", "TVOD"},
        {"audio/x-mpeg", ".mpeg;.mpg;.m1s;.m1a;.mp2;.mpm;.mpa;.m2a;.mp3;.swa", "MPEG", "TVOD"},
        {"video/quicktime", ".moov;.mov;.qt;.mov;.qt;.mqv", "MooV", "????"},
        {"audio/mp4", ".mp4;.mpg4;.mp3;.m4a", "mpg4", "TVOD"},
        {"audio/mpeg3", ".mp3;.swa", "Mp3 ", "TVOD"},
        {"video/x-mpeg", ".mpeg;.mpg;.m1s;.m1v;.m1a;.m75;.m15;.mp2;.mpm;.mpv;.mpa;.mp3", "MPEG",
         "TVOD"},
        {"audio/mpeg", ".mpeg;.mpg;.m1s;.m1a;.mp2;.mpm;.mpa;.m2a;.mp3;.swa", "MPG3", "????"},
        {"text/plain", ".text;.txt;", "TEXT", "????"},
        {"special/folder", "", "fold", "MACS"},
        {"audio/x-aac", ".aac;.adts;.m4a", "adts", "TVOD"},
    };
    auto& registry = platform::FileTypeRegistry::instance();
    for (const Row& r : kRows) {
        registry.add({QString::fromLatin1(r.name), QString::fromLatin1(r.extensions),
                      QString::fromLatin1(r.macType), QString::fromLatin1(r.macCreator)});
    }
}

}  // namespace FileTypes
