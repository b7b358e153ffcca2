#include "shell/filetypes.h"

#include "platform/filetypes.h"

namespace fileTypes {

void registerAll() {
    struct Row {
        const char *name, *extensions;
    };
    static constexpr Row kRows[] = {
        {"audio/aac", ".aac;.adts;.m4a"},
        {"audio/mp3", ".mp3;.swa"},
        {"audio/x-mpeg3", ".mp3;.swa"},
        {"audio/x-mpeg", ".mpeg;.mpg;.m1s;.m1a;.mp2;.mpm;.mpa;.m2a;.mp3;.swa"},
        {"video/quicktime", ".moov;.mov;.qt;.mov;.qt;.mqv"},
        {"audio/mp4", ".mp4;.mpg4;.mp3;.m4a"},
        {"audio/mpeg3", ".mp3;.swa"},
        {"video/x-mpeg", ".mpeg;.mpg;.m1s;.m1v;.m1a;.m75;.m15;.mp2;.mpm;.mpv;.mpa;.mp3"},
        {"audio/mpeg", ".mpeg;.mpg;.m1s;.m1a;.mp2;.mpm;.mpa;.m2a;.mp3;.swa"},
        {"text/plain", ".text;.txt;"},
        {"special/folder", ""},
        {"audio/x-aac", ".aac;.adts;.m4a"},
    };
    auto& registry = platform::FileTypeRegistry::instance();
    for (const Row& r : kRows) {
        registry.add({QString::fromLatin1(r.name), QString::fromLatin1(r.extensions)});
    }
}

}  // namespace fileTypes
