#pragma once
// Pictures and the graphics port that draws into them. Drawing is pixel-exact: no antialiasing.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace model {

class Graphics;

// A picture: a 32-bit image, shared by reference (std::shared_ptr<Picture>) where several
// controls show the same one.
//
// A drawn picture holds no pixels of its own: it keeps the code that draws it and makes its
// pixels in tiles, only for the parts that are shown, keeping the most recently used tiles in one
// cache of bounded size shared by all pictures. A picture as wide as a day-long clip then costs a
// few bytes, whatever its width. Its pixels are those the drawing code gives on a whole picture.
class Picture {
  public:
    // Draws the whole picture in its own coordinates; called once per tile, clipped to it.
    using Drawing = std::function<void(Graphics&)>;

    Picture() = default;
    Picture(int width, int height);  // transparent-black 32-bit ARGB
    explicit Picture(QImage image);
    Picture(int width, int height, Drawing drawing);  // a drawn picture; no pixels made yet
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool isNull() const { return drawing_ ? false : image_.isNull(); }
    int width() const { return drawing_ ? width_ : image_.width(); }
    int height() const { return drawing_ ? height_ : image_.height(); }
    bool isDrawn() const { return static_cast<bool>(drawing_); }
    // Whether every pixel is fully opaque, as its maker promises: what lies under it is hidden.
    bool opaque() const { return opaque_; }
    void setOpaque(bool opaque) { opaque_ = opaque; }

    // All pixels at once. A drawn picture makes and keeps them here: meant for small pictures and
    // tests; drawing code uses part() or Graphics::drawPicture, which make only what is shown.
    QImage& image();
    const QImage& image() const;
    // The pixels of one rectangle of the picture (outside it: transparent).
    QImage part(int x, int y, int w, int h) const;

    // Width of a tile of a drawn picture, and the most tile memory kept for all pictures.
    static constexpr int kTileWidth = 512;
    static constexpr int64_t kTileCacheBytes = 48LL * 1024 * 1024;
    // Bytes now held by the tile cache (for tests and benchmarks).
    static int64_t tileCacheBytes();

  private:
    friend class Graphics;
    // The tile with this index, from the cache or drawn now.
    QImage tile(int index) const;

    // The pixels of a line of a drawn picture as runs along its rows, found once per line (see
    // Graphics::drawLine) and kept: a few runs, where the line itself may be long.
    struct Run {
        int y;
        int64_t from, to;
    };
    const std::vector<Run>& lineRuns(int x1, int y1, int x2, int y2) const;

    QImage image_;
    int width_ = 0, height_ = 0;
    Drawing drawing_;
    uint64_t id_ = 0;  // the key of this picture's tiles in the cache
    bool opaque_ = false;
    mutable std::map<std::array<int, 4>, std::vector<Run>> lineRuns_;
};

using PictureRef = std::shared_ptr<Picture>;

// Drawing state in the framework's style: a current colour and pen, integer coordinates.
class Graphics {
  public:
    explicit Graphics(QPaintDevice* device);
    explicit Graphics(Picture& picture) : Graphics(&picture.image()) {}
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    void setColor(const QColor& c) { color_ = c; }
    void setFont(const QString& family, int pointSize, bool bold = false);

    void drawLine(int x1, int y1, int x2, int y2);
    // Outline inside the rectangle with rounded corners of the given width and height.
    void drawRoundRect(int x, int y, int w, int h, int cornerW, int cornerH);
    // Text whose first baseline is at baselineY, wrapped at wrapWidth pixels from x.
    void drawWrappedText(const QString& text, int x, int baselineY, int wrapWidth);
    void fillRect(int x, int y, int w, int h);
    void drawPicture(const Picture& picture, int x, int y);
    // Draws the source rectangle of picture at (x, y) unscaled.
    void drawPicture(const Picture& picture, int x, int y, int srcX, int srcY, int w, int h);
    void clearRect(int x, int y, int w, int h);  // fills with transparent black
    // From now on only this rectangle is drawn into (drawn pictures then make only its tiles).
    void clipTo(int x, int y, int w, int h) { painter_.setClipRect(x, y, w, h); }

  private:
    friend class Picture;
    // A port onto one tile of a drawn picture: the picture's column originX falls on the
    // device's column 0.
    Graphics(QPaintDevice* device, const Picture& picture, int originX);
    // A line of a tile drawn exactly as on the whole picture (see drawLine).
    void drawLineAcrossTiles(int x1, int y1, int x2, int y2);
    // The device rectangle drawing can reach, in the port's coordinates.
    QRect reachable() const;

    QPainter painter_;
    QColor color_{Qt::black};
    const Picture* tileOf_ = nullptr;  // the drawn picture when this port draws one of its tiles
    int originX_ = 0;
};

}  // namespace model
