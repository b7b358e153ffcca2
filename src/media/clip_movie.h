#pragma once
// The movie of a clip's file, opened and measured once on a worker thread and then kept: every
// clip of the same file shares it, and players get it without opening anything.

#include <QString>
#include <atomic>
#include <memory>

#include "media/movie.h"

namespace media {

class ClipMovie : public std::enable_shared_from_this<ClipMovie> {
  public:
    enum State : int { Waiting, Opening, Ready, Failed };

    explicit ClipMovie(QString path) : path_(std::move(path)) {}
    const QString& path() const { return path_; }
    // Any thread; once Ready or Failed it never changes.
    State state() const { return static_cast<State>(state_.load(std::memory_order_acquire)); }
    // The opened movie once Ready, else nullptr. Give players a share() of it: routing is theirs.
    MovieRef movie() const { return state() == Ready ? movie_ : nullptr; }

    // UI thread: the worker opens this one before the others waiting (a head has reached it).
    // Does nothing once it is open or already first in line.
    void hurry();

  private:
    friend class MovieOpener;
    friend void keepOpened(const MovieRef& movie);
    QString path_;
    // Whoever moves the state from Waiting to Opening writes the movie, then says Ready.
    bool claim() {
        int waiting = Waiting;
        return state_.compare_exchange_strong(waiting, Opening, std::memory_order_acq_rel);
    }
    MovieRef movie_;
    std::atomic<int> state_{Waiting};
    std::atomic<bool> hurried_{false};
};

using ClipMovieRef = std::shared_ptr<ClipMovie>;

// The movie of the file at path: the one any clip of it already has, one just opened by
// keepOpened(), or a new one put in line to be opened on the worker.
ClipMovieRef clipMovie(const QString& path);

// Any thread: a movie opened anyway (to measure a dropped, loaded or folder file) is kept for
// the clips of its file, which then need not wait for the worker.
void keepOpened(const MovieRef& movie);

namespace testing {
// Waits (up to a few seconds) until every movie in line is opened; false on timeout.
bool waitForClipMovies();
}  // namespace testing

}  // namespace media
