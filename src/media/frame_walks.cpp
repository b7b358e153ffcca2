#include "media/frame_walks.h"

#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "media/doorbell.h"

namespace media {

namespace {

using Walk = Mp3FrameIndexSlot::Walk;

// Walks the frames of the files whose index a decoder asked for, one file at a time, behind the
// work that measures and plays (a walk something is held up by goes first); an export's decoder
// that needs an index at once walks its file itself, or waits for the walk under way. At exit,
// walks still waiting are dropped; the one under way finishes.
class FrameWalker {
  public:
    void start(const Mp3FrameIndexSlotRef& slot, bool first) {
        if (slot->get()) return;
        if (slot->moveWalk(Walk::NotAsked, Walk::Queued)) {
            const std::lock_guard lock(mutex_);
            if (first)
                waiting_.push_front(slot);
            else
                waiting_.push_back(slot);
        } else if (first && slot->walk() == Walk::Queued) {
            const std::lock_guard lock(mutex_);
            const auto queued = std::find_if(waiting_.begin(), waiting_.end(),
                                             [&](const auto& w) { return w.lock() == slot; });
            if (queued == waiting_.end()) return;
            waiting_.erase(queued);
            waiting_.push_front(slot);
        } else {
            return;
        }
        wake_.notify_one();
    }

    void setWalkedBell(Doorbell* bell) {
        const std::lock_guard lock(mutex_);
        walkedBell_ = bell;
    }

    Mp3FrameIndexRef now(const Mp3FrameIndexSlotRef& slot) {
        if (Mp3FrameIndexRef index = slot->get()) return index;
        if (slot->path().isEmpty()) return nullptr;
        if (slot->moveWalk(Walk::NotAsked, Walk::Walking) ||
            slot->moveWalk(Walk::Queued, Walk::Walking)) {
            walk(*slot);  // the worker passes over it when it comes to it in line
        } else {
            std::unique_lock lock(mutex_);
            walked_.wait(lock, [&] { return slot->walk() == Walk::Done; });
        }
        return slot->get();
    }

    bool waitIdle(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return idle_.wait_for(lock, limit, [this] { return waiting_.empty() && !walking_; });
    }
    int64_t walks() const { return walks_.load(std::memory_order_relaxed); }
    ~FrameWalker() {
        {
            const std::lock_guard lock(mutex_);
            waiting_.clear();
            stopping_ = true;
        }
        wake_.notify_one();
    }

  private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            idle_.notify_all();
            wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (stopping_) return;
            // Passed over when nothing of the file is left, or a decoder took the walk.
            const Mp3FrameIndexSlotRef slot = waiting_.front().lock();
            waiting_.pop_front();
            if (!slot || !slot->moveWalk(Walk::Queued, Walk::Walking)) continue;
            walking_ = true;
            lock.unlock();
            walk(*slot);
            lock.lock();
            walking_ = false;
        }
    }

    // The caller has moved the slot's walk to Walking.
    void walk(Mp3FrameIndexSlot& slot) {
        walks_.fetch_add(1, std::memory_order_relaxed);
        // A file that cannot be walked is sought without an index.
        Mp3FrameIndexRef index = indexMp3Frames(slot.path());
        if (index && index->rate == slot.rate()) slot.set(std::move(index));
        {
            const std::lock_guard lock(mutex_);
            slot.moveWalk(Walk::Walking, Walk::Done);
            if (walkedBell_) walkedBell_->ring();
        }
        walked_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable wake_, idle_, walked_;
    std::deque<std::weak_ptr<Mp3FrameIndexSlot>> waiting_;
    bool walking_ = false;
    bool stopping_ = false;
    Doorbell* walkedBell_ = nullptr;
    std::atomic<int64_t> walks_{0};
    std::jthread thread_{[this] { run(); }};  // last: it starts once the rest is built
};

FrameWalker& frameWalker() {
    static FrameWalker walker;
    return walker;
}

// The slots of the files movies and decoders hold, by device and inode, so that every path to a
// file finds its one slot.
class FrameIndexFiles {
  public:
    Mp3FrameIndexSlotRef slotFor(const QString& path, int rate) {
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            return nullptr;
        const Key key{st.st_dev, st.st_ino};
        const int64_t changed = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        const std::lock_guard lock(mutex_);
        File& file = files_[key];
        if (auto slot = file.slot.lock();
            slot && slot->rate() == rate && file.size == st.st_size && file.changed == changed)
            return slot;
        auto slot = std::make_shared<Mp3FrameIndexSlot>(path, rate);
        file = File{slot, st.st_size, changed};
        // Entries of files nothing holds any more go now and then, as new ones come.
        if (files_.size() >= sweepAt_) {
            std::erase_if(files_, [](const auto& e) { return e.second.slot.expired(); });
            sweepAt_ = std::max<size_t>(64, files_.size() * 2);
        }
        return slot;
    }

  private:
    using Key = std::pair<dev_t, ino_t>;
    struct File {
        std::weak_ptr<Mp3FrameIndexSlot> slot;
        int64_t size = 0;
        int64_t changed = 0;  // modification time in nanoseconds
    };
    std::mutex mutex_;
    std::map<Key, File> files_;
    size_t sweepAt_ = 64;
};

FrameIndexFiles& frameIndexFiles() {
    static FrameIndexFiles files;
    return files;
}

}  // namespace

Mp3FrameIndexSlotRef frameIndexSlotFor(const QString& path, int rate) {
    return frameIndexFiles().slotFor(path, rate);
}

void walkFramesLater(const Mp3FrameIndexSlotRef& slot) {
    if (slot) frameWalker().start(slot, false);
}

void walkFramesFirst(const Mp3FrameIndexSlotRef& slot) {
    if (slot) frameWalker().start(slot, true);
}

void setFramesWalkedBell(Doorbell* bell) { frameWalker().setWalkedBell(bell); }

Mp3FrameIndexRef frameIndexNow(const Mp3FrameIndexSlotRef& slot) {
    return slot ? frameWalker().now(slot) : nullptr;
}

namespace testing {
int64_t frameWalks() { return frameWalker().walks(); }
bool waitForFrameWalks() { return frameWalker().waitIdle(std::chrono::seconds(30)); }
}  // namespace testing

}  // namespace media
