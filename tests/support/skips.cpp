#include "support/skips.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

namespace testsupport {

void markSkipped(const std::string& reason) {
    const char* folder = getenv("VONTALIX_SKIP_MARKS");
    if (!folder || !*folder) return;
    // Named by the reason, so test programs running at once that skip for the same reason
    // leave it once; the first to come writes it.
    const std::string path =
        std::string(folder) + "/" + std::to_string(std::hash<std::string>{}(reason));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const std::string line = reason + "\n";
    [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
    ::close(fd);
}

}  // namespace testsupport
