#include "media/clip_movie.h"

#include <QCoreApplication>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace media {

// One worker opens the movies in the order they were asked for, hurried ones first. The UI
// thread only takes the queue's lock to put a movie in line, never while a file is opened.
class MovieOpener {
  public:
    static MovieOpener& instance() {
        static MovieOpener opener;
        return opener;
    }
    ~MovieOpener() { stop(); }

    void enqueue(const ClipMovieRef& m, bool first) {
        {
            std::lock_guard lock(mutex_);
            if (quit_) return;
            if (!thread_.joinable()) {
                thread_ = std::thread([this] { run(); });
                // The worker ends before the application object and the program's statics.
                if (QCoreApplication::instance())
                    qAddPostRoutine([] { MovieOpener::instance().stop(); });
            }
            if (first)
                queue_.push_front(m);
            else
                queue_.push_back(m);
        }
        wake_.notify_one();
    }

    bool waitIdle(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return idle_.wait_for(lock, limit, [this] { return queue_.empty() && !opening_; });
    }

    void stop() {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
            queue_.clear();
        }
        wake_.notify_one();
        if (thread_.joinable()) thread_.join();
    }

    // The movies clips hold, by path, and the few just opened for a drop or a load; under
    // filesMutex (files may be measured on workers). The tick never takes it.
    std::mutex filesMutex;
    std::map<QString, std::weak_ptr<ClipMovie>> byPath;
    std::deque<ClipMovieRef> recent;

  private:
    void run() {
        std::unique_lock lock(mutex_);
        while (!quit_) {
            if (queue_.empty()) {
                idle_.notify_all();
                wake_.wait(lock);
                continue;
            }
            std::weak_ptr<ClipMovie> next = queue_.front();
            queue_.pop_front();
            ClipMovieRef m = next.lock();
            if (!m || !m->claim()) continue;
            opening_ = true;
            lock.unlock();
            m->movie_ = openMovie(m->path_);
            m->state_.store(m->movie_ ? ClipMovie::Ready : ClipMovie::Failed,
                            std::memory_order_release);
            m.reset();  // a clip deleted meanwhile lets its movie go here, off the UI
            lock.lock();
            opening_ = false;
        }
        idle_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<std::weak_ptr<ClipMovie>> queue_;
    std::thread thread_;
    bool quit_ = false;
    bool opening_ = false;
};

void ClipMovie::hurry() {
    if (state() != Waiting || hurried_.exchange(true)) return;
    MovieOpener::instance().enqueue(shared_from_this(), true);
}

ClipMovieRef clipMovie(const QString& path) {
    MovieOpener& o = MovieOpener::instance();
    ClipMovieRef m;
    {
        std::lock_guard lock(o.filesMutex);
        auto it = o.byPath.find(path);
        if (it != o.byPath.end() && (m = it->second.lock())) return m;
        for (const ClipMovieRef& r : o.recent) {
            if (r->path() == path) {
                o.byPath[path] = r;
                return r;
            }
        }
        // Entries of files no clip holds any more go as new ones come.
        std::erase_if(o.byPath, [](const auto& e) { return e.second.expired(); });
        m = std::make_shared<ClipMovie>(path);
        o.byPath[path] = m;
    }
    o.enqueue(m, false);
    return m;
}

void keepOpened(const MovieRef& movie) {
    if (!movie) return;
    MovieOpener& o = MovieOpener::instance();
    std::lock_guard lock(o.filesMutex);
    // Clips of the file already waiting for their movie take this one.
    auto it = o.byPath.find(movie->path());
    if (it != o.byPath.end()) {
        if (ClipMovieRef waiting = it->second.lock()) {
            if (waiting->claim()) {
                waiting->movie_ = movie;
                waiting->state_.store(ClipMovie::Ready, std::memory_order_release);
            }
            return;
        }
    }
    auto m = std::make_shared<ClipMovie>(movie->path());
    m->movie_ = movie;
    m->state_.store(ClipMovie::Ready, std::memory_order_release);
    std::erase_if(o.recent, [&](const ClipMovieRef& r) { return r->path() == movie->path(); });
    o.recent.push_back(m);
    if (o.recent.size() > 32) o.recent.pop_front();
}

namespace testing {
bool waitForClipMovies() { return MovieOpener::instance().waitIdle(std::chrono::seconds(10)); }
}  // namespace testing

}  // namespace media
