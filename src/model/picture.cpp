#include "model/picture.h"

#include <QFontMetrics>
#include <algorithm>
#include <list>
#include <mutex>
#include <unordered_map>

namespace model {

namespace {

// The tiles of drawn pictures, least recently used first out once the bytes run over the bound.
class TileCache {
  public:
    static TileCache& instance() {
        static TileCache cache;
        return cache;
    }

    uint64_t newId() {
        std::lock_guard lock(mutex_);
        return ++lastId_;
    }

    bool find(uint64_t id, int index, QImage& out) {
        std::lock_guard lock(mutex_);
        const auto it = map_.find(key(id, index));
        if (it == map_.end()) return false;
        lru_.splice(lru_.end(), lru_, it->second);
        out = it->second->image;
        return true;
    }

    void put(uint64_t id, int index, const QImage& image) {
        std::lock_guard lock(mutex_);
        const uint64_t k = key(id, index);
        if (map_.count(k)) return;
        lru_.push_back(Entry{id, k, image});
        map_[k] = std::prev(lru_.end());
        bytes_ += cost(image);
        ++tilesOf_[id];
        while (bytes_ > Picture::kTileCacheBytes && lru_.size() > 1) erase(lru_.begin());
    }

    void forget(uint64_t id) {
        std::lock_guard lock(mutex_);
        if (!tilesOf_.count(id)) return;
        for (auto it = lru_.begin(); it != lru_.end();) {
            const auto next = std::next(it);
            if (it->id == id) erase(it);
            it = next;
        }
    }

    int64_t bytes() const {
        std::lock_guard lock(mutex_);
        return bytes_;
    }

  private:
    struct Entry {
        uint64_t id;
        uint64_t key;
        QImage image;
    };

    // A picture has far fewer than 2^24 tiles (2^31 pixels / 512): id and index share one key.
    static uint64_t key(uint64_t id, int index) {
        return (id << 24) ^ static_cast<uint64_t>(index);
    }

    // A tile's pixels and what keeping it costs besides (image header, list and map nodes): a
    // thousand tiny tiles are not free.
    static int64_t cost(const QImage& image) { return image.sizeInBytes() + 512; }

    void erase(std::list<Entry>::iterator it) {
        bytes_ -= cost(it->image);
        const auto count = tilesOf_.find(it->id);
        if (count != tilesOf_.end() && --count->second == 0) tilesOf_.erase(count);
        map_.erase(it->key);
        lru_.erase(it);
    }

    mutable std::mutex mutex_;
    std::list<Entry> lru_;
    std::unordered_map<uint64_t, std::list<Entry>::iterator> map_;
    std::unordered_map<uint64_t, int> tilesOf_;
    int64_t bytes_ = 0;
    uint64_t lastId_ = 0;
};

QImage blankImage(int w, int h) {
    QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32_Premultiplied);
    if (!image.isNull()) image.fill(Qt::transparent);
    return image;
}

}  // namespace

Picture::Picture(int width, int height)
    : image_(width > 0 ? width : 1, height > 0 ? height : 1, QImage::Format_ARGB32_Premultiplied) {
    if (!image_.isNull()) image_.fill(Qt::transparent);
}

Picture::Picture(QImage image) : image_(std::move(image)) {}

Picture::Picture(int width, int height, Drawing drawing)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      drawing_(std::move(drawing)),
      id_(TileCache::instance().newId()) {}

Picture::~Picture() {
    if (drawing_) TileCache::instance().forget(id_);
}

int64_t Picture::tileCacheBytes() { return TileCache::instance().bytes(); }

QImage& Picture::image() {
    if (drawing_ && image_.isNull()) image_ = part(0, 0, width_, height_);
    return image_;
}

const QImage& Picture::image() const { return const_cast<Picture*>(this)->image(); }

QImage Picture::tile(int index) const {
    QImage out;
    if (TileCache::instance().find(id_, index, out)) return out;
    const int left = index * kTileWidth;
    out = blankImage(std::min(kTileWidth, width_ - left), height_);
    if (out.isNull()) return out;
    {
        Graphics g(&out, *this, left);
        drawing_(g);
    }
    TileCache::instance().put(id_, index, out);
    return out;
}

QImage Picture::part(int x, int y, int w, int h) const {
    QImage out = blankImage(w, h);
    if (out.isNull() || w <= 0 || h <= 0) return out;
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (!drawing_) {
        p.drawImage(0, 0, image_, x, y, w, h);
        return out;
    }
    const int64_t from = std::max<int64_t>(x, 0), to = std::min<int64_t>(int64_t{x} + w, width_);
    for (int64_t i = from / kTileWidth; i * kTileWidth < to; ++i) {
        p.drawImage(static_cast<int>(i * kTileWidth - x), -y, tile(static_cast<int>(i)));
    }
    return out;
}

Graphics::Graphics(QPaintDevice* device) : painter_(device) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

Graphics::Graphics(QPaintDevice* device, const Picture& picture, int originX) : Graphics(device) {
    painter_.translate(-originX, 0);
    tileOf_ = &picture;
    originX_ = originX;
}

Graphics::~Graphics() = default;

QRect Graphics::reachable() const {
    const QPaintDevice* device = painter_.device();
    QRect r(0, 0, device ? device->width() : 0, device ? device->height() : 0);
    if (painter_.hasClipping()) r &= painter_.clipBoundingRect().toAlignedRect();
    return painter_.transform().inverted().mapRect(r);
}

void Graphics::setFont(const QString& family, int pointSize, bool bold) {
    QFont f;  // the application's font unless a family is named
    if (!family.isEmpty()) f.setFamily(family);
    f.setPixelSize(pointSize > 0 ? pointSize : 1);
    f.setBold(bold);
    f.setStyleStrategy(QFont::NoAntialias);
    painter_.setFont(f);
}

void Graphics::drawLine(int x1, int y1, int x2, int y2) {
    const QPaintDevice* device = painter_.device();
    if (tileOf_ && device &&
        (std::min(x1, x2) < originX_ || std::max(x1, x2) >= originX_ + device->width())) {
        drawLineAcrossTiles(x1, y1, x2, y2);
        return;
    }
    painter_.setPen(QPen(color_, 1));
    painter_.drawLine(x1, y1, x2, y2);
}

void Graphics::drawLineAcrossTiles(int x1, int y1, int x2, int y2) {
    const QPaintDevice* device = painter_.device();
    const int64_t tileTo = int64_t{originX_} + device->width();
    for (const Picture::Run& run : tileOf_->lineRuns(x1, y1, x2, y2)) {
        const int64_t a = std::max<int64_t>(run.from, originX_), b = std::min(run.to, tileTo);
        if (a < b)
            painter_.fillRect(static_cast<int>(a), run.y, static_cast<int>(b - a), 1, color_);
    }
}

const std::vector<Picture::Run>& Picture::lineRuns(int x1, int y1, int x2, int y2) const {
    const std::array<int, 4> key{x1, y1, x2, y2};
    const auto found = lineRuns_.find(key);
    if (found != lineRuns_.end()) return found->second;
    // The rasterizer steps a line from where it enters the device, so a line cut at a tile's
    // edge may fall on other rows than the same line drawn whole. The line is drawn once on a
    // one-byte strip as wide as the part of the picture it crosses, which cuts it where the
    // whole picture would, and only its runs are kept.
    std::vector<Run>& runs = lineRuns_[key];
    const int64_t from = std::max<int64_t>(0, std::min(x1, x2));
    const int64_t to = std::min<int64_t>(width_, int64_t{std::max(x1, x2)} + 1);
    if (from >= to) return runs;
    QImage strip(static_cast<int>(to - from), height_, QImage::Format_Alpha8);
    if (strip.isNull()) return runs;
    strip.fill(0);
    {
        QPainter p(&strip);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::black, 1));
        p.translate(static_cast<qreal>(-from), 0);
        p.drawLine(x1, y1, x2, y2);
    }
    const int64_t n = to - from;
    for (int y = 0; y < height_; ++y) {
        const uchar* row = strip.constScanLine(y);
        for (int64_t x = 0; x < n;) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            int64_t end = x + 1;
            while (end < n && row[end] != 0) ++end;
            runs.push_back(Run{y, from + x, from + end});
            x = end;
        }
    }
    return runs;
}

void Graphics::drawRoundRect(int x, int y, int w, int h, int cornerW, int cornerH) {
    if (w <= 0 || h <= 0) return;
    painter_.setPen(QPen(color_, 1));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRoundedRect(QRect(x, y, w - 1, h - 1), cornerW / 2.0, cornerH / 2.0,
                             Qt::AbsoluteSize);
}

void Graphics::drawWrappedText(const QString& text, int x, int baselineY, int wrapWidth) {
    if (wrapWidth <= 0) return;
    painter_.setPen(QPen(color_, 1));
    const int ascent = QFontMetrics(painter_.font()).ascent();
    painter_.drawText(QRect(x, baselineY - ascent, wrapWidth, 4096),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
}

void Graphics::fillRect(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    painter_.fillRect(x, y, w, h, color_);
}

void Graphics::drawPicture(const Picture& picture, int x, int y) {
    if (picture.isNull()) return;
    if (picture.isDrawn()) {
        drawPicture(picture, x, y, 0, 0, picture.width(), picture.height());
        return;
    }
    painter_.drawImage(x, y, picture.image());
}

void Graphics::drawPicture(const Picture& picture, int x, int y, int srcX, int srcY, int w, int h) {
    if (picture.isNull() || w <= 0 || h <= 0) return;
    if (!picture.isDrawn()) {
        painter_.drawImage(x, y, picture.image(), srcX, srcY, w, h);
        return;
    }
    // Only the tiles of the part the device shows are made: the rest of a long picture costs
    // nothing.
    const QRect shown = reachable();
    const int64_t from = std::max<int64_t>({srcX, 0, int64_t{shown.left()} - x + srcX});
    const int64_t to = std::min<int64_t>(
        {int64_t{srcX} + w, picture.width(), int64_t{shown.right()} + 1 - x + srcX});
    if (from >= to || y + h <= shown.top() || y > shown.bottom()) return;
    for (int64_t i = from / Picture::kTileWidth; i * Picture::kTileWidth < to; ++i) {
        const int64_t left = i * Picture::kTileWidth;
        const QImage tile = picture.tile(static_cast<int>(i));
        const int64_t a = std::max(left, from), b = std::min(left + tile.width(), to);
        painter_.drawImage(static_cast<int>(x + a - srcX), y, tile, static_cast<int>(a - left),
                           srcY, static_cast<int>(b - a), h);
    }
}

void Graphics::clearRect(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    auto mode = painter_.compositionMode();
    painter_.setCompositionMode(QPainter::CompositionMode_Source);
    painter_.fillRect(x, y, w, h, Qt::transparent);
    painter_.setCompositionMode(mode);
}

}  // namespace model
