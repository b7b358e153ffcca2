#pragma once
// Helper programs the tests run (ffmpeg, pactl, parec), started with posix_spawn.
//
// Not QProcess: Qt 6.4 starts a child with clone(CLONE_VM | CLONE_VFORK) made straight through
// the system call, so until it execs the child runs on the test's own memory and on the calling
// thread's thread-local state. Under ThreadSanitizer the child's calls then leave that state
// marked as ignoring interceptors, and from then on the calling thread's locks go unseen: every
// lock it takes afterwards is missed and shows up as a data race. The child of posix_spawn runs
// inside the C library and leaves the caller's state alone.

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace testsupport {

class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const QString& program, const QStringList& args) { start(program, args); }
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the program, looked up in PATH, with the process's environment. Its standard output
    // is kept for readAllStandardOutput(); its standard input and error are /dev/null.
    bool start(const QString& program, const QStringList& args);
    bool started() const { return pid_ > 0 || finished_; }
    // True when the child ended within the limit.
    bool waitForFinished(int msecs);
    // The exit code of a child that ended by itself; -1 when it did not (yet).
    int exitCode() const { return exitCode_; }
    // Asks the child to end (SIGTERM).
    void terminate();
    // Everything the child wrote to its standard output so far, and how many bytes that is.
    QByteArray readAllStandardOutput() const;
    qint64 outputSize() const;

    // Runs the program to its end; its exit code, or -1 when it could not run or end in time.
    static int execute(const QString& program, const QStringList& args, int msecs = 30000);

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    bool finished_ = false;
    int exitCode_ = -1;
};

}  // namespace testsupport
