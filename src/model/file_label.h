#pragma once
// A file's colour label, 0 (none) to 7, which colours the clip's name.
//
// Linux has no system-wide file label, so the label is kept in the extended attribute
// "user.vontalix.label" of the file: one decimal digit "0" to "7" (a trailing newline is allowed,
// so `setfattr -n user.vontalix.label -v 3 file` works). Any other value, no attribute, or a file
// system without extended attributes gives 0.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace model {

inline constexpr char kFileLabelAttribute[] = "user.vontalix.label";

// The label of the file at path, 0..7.
int32_t fileLabel(const QString& path);

// The label an attribute value stands for: 0..7, or 0 for anything else.
int32_t parseFileLabel(const QByteArray& value);

// Tests replace where the attribute value comes from (nullopt = no attribute); an empty function
// restores the file's real attribute.
using FileLabelSource = std::function<std::optional<QByteArray>(const QString& path)>;
void setFileLabelSource(FileLabelSource source);

}  // namespace model
