#include "platform/filetypes.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace platform {

FileTypeRegistry& FileTypeRegistry::instance() {
    static FileTypeRegistry registry;
    return registry;
}

void FileTypeRegistry::add(const FileType& type) {
    for (auto& t : types_) {
        if (t.name == type.name) {
            t = type;
            return;
        }
    }
    types_.push_back(type);
}

const FileType* FileTypeRegistry::find(const QString& name) const {
    for (const auto& t : types_) {
        if (t.name == name) return &t;
    }
    return nullptr;
}

QStringList extensionList(const QString& extensions) {
    QStringList out;
    for (const QString& e : extensions.split(';')) {
        QString t = e.trimmed();
        if (t.size() > 1 && t.startsWith('.')) out << t.toLower();
    }
    return out;
}

namespace {

// A type the program does not register is taken as the desktop's shared MIME database knows it:
// a file belongs to it when the database gives its name that type (or a type derived from it).
// Like registered types, only the name counts, never the content.
bool sharedDatabaseMatches(const QString& path, const QString& typeName) {
    const QFileInfo info(path);
    if (info.isDir()) return false;
    const QMimeDatabase db;
    for (const QMimeType& type : db.mimeTypesForFileName(info.fileName())) {
        if (type.inherits(typeName)) return true;
    }
    return false;
}

}  // namespace

bool FileTypeRegistry::matches(const QString& path, const QString& typeName) const {
    const FileType* t = find(typeName);
    if (!t) return sharedDatabaseMatches(path, typeName);
    QFileInfo info(path);
    if (typeName == QLatin1String("special/folder")) return info.isDir();
    if (info.isDir()) return false;
    const QString name = info.fileName().toLower();
    for (const QString& ext : extensionList(t->extensions)) {
        if (name.endsWith(ext) && name.size() > ext.size()) return true;
    }
    return false;
}

bool FileTypeRegistry::matchesAny(const QString& path, const QStringList& typeNames) const {
    for (const QString& n : typeNames) {
        if (matches(path, n)) return true;
    }
    return false;
}

QStringList FileTypeRegistry::nameFilters(const QString& typeName) const {
    QStringList out;
    if (const FileType* t = find(typeName)) {
        for (const QString& ext : extensionList(t->extensions)) {
            QString pattern = "*" + ext;
            if (!out.contains(pattern)) out << pattern;
        }
    }
    return out;
}

void registerFileTypes() {
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
    auto& registry = FileTypeRegistry::instance();
    for (const Row& r : kRows) {
        registry.add({QString::fromLatin1(r.name), QString::fromLatin1(r.extensions)});
    }
}

}  // namespace platform
