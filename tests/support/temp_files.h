#pragma once
// Writing small files into a test's temporary folder.

#include <QByteArray>
#include <QString>

namespace testsupport {

// Writes bytes to path (replacing it); false when the file cannot be written.
bool writeFile(const QString& path, const QByteArray& bytes);

}  // namespace testsupport
