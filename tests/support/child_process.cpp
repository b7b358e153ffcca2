#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

extern char** environ;

namespace testsupport {

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
}

bool ChildProcess::start(const QString& program, const QStringList& args) {
    if (pid_ > 0 || out_ >= 0) return false;
    // The output goes to an anonymous file, so a chatty child never blocks on a full pipe.
    out_ = memfd_create("child-output", MFD_CLOEXEC);
    if (out_ < 0) return false;
    std::vector<QByteArray> text{program.toLocal8Bit()};
    for (const QString& a : args) text.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& t : text) argv.push_back(t.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out_, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return false;
    pid_ = pid;
    return true;
}

bool ChildProcess::waitForFinished(int msecs) {
    if (pid_ <= 0) return finished_;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(msecs);
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_ || r < 0) {
            exitCode_ = r == pid_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            pid_ = -1;
            finished_ = true;
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void ChildProcess::terminate() {
    if (pid_ > 0) kill(pid_, SIGTERM);
}

QByteArray ChildProcess::readAllStandardOutput() const {
    QByteArray all;
    if (out_ < 0) return all;
    char buf[65536];
    for (off_t at = 0;;) {
        const ssize_t n = pread(out_, buf, sizeof buf, at);
        if (n <= 0) break;
        all.append(buf, n);
        at += n;
    }
    return all;
}

qint64 ChildProcess::outputSize() const {
    struct stat st {};
    return out_ >= 0 && fstat(out_, &st) == 0 ? st.st_size : 0;
}

int ChildProcess::execute(const QString& program, const QStringList& args, int msecs) {
    ChildProcess p;
    if (!p.start(program, args) || !p.waitForFinished(msecs)) return -1;
    return p.exitCode();
}

}  // namespace testsupport
