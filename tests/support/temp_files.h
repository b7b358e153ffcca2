#pragma once
// Writing small files into a test's temporary folder.

#include <QByteArray>
#include <QString>

namespace testsupport {

// Writes bytes to path (replacing it); false when the file cannot be written.
bool writeFile(const QString& path, const QByteArray& bytes);

// While it lives, file permissions apply to this process as to an ordinary user: run as root
// (who reads any file), it acts as "nobody"; otherwise nothing changes.
class AsOrdinaryUser {
  public:
    AsOrdinaryUser();
    ~AsOrdinaryUser();
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;
    // False when root may not take another user's part here (no CAP_SETUID).
    bool inEffect() const;

  private:
    bool switched_ = false;
};

}  // namespace testsupport
