#pragma once
// File types: a MIME-style name described by file-name extensions, and the ones the program
// accepts, registered by name at start-up.

#include <QString>
#include <QStringList>
#include <vector>

namespace platform {

struct FileType {
    QString name;
    QString extensions;  // ".mp3;.swa" as given; empty entries match nothing
};

class FileTypeRegistry {
  public:
    static FileTypeRegistry& instance();

    // Registers (or replaces) a type under its name.
    void add(const FileType& type);
    const FileType* find(const QString& name) const;
    void clear() { types_.clear(); }
    const std::vector<FileType>& all() const { return types_; }

    // Whether a file belongs to the named type: by extension, letter case ignored; the
    // folder type "special/folder" takes directories. A name that is not registered takes the
    // files the desktop's shared MIME database gives that type by their names.
    bool matches(const QString& path, const QString& typeName) const;
    bool matchesAny(const QString& path, const QStringList& typeNames) const;
    // Name filters ("*.txt *.text") for file dialogs.
    QStringList nameFilters(const QString& typeName) const;

  private:
    std::vector<FileType> types_;
};

QStringList extensionList(const QString& extensions);

// Registers the twelve types the program accepts (again, replacing any earlier registration).
void registerFileTypes();

}  // namespace platform
