#pragma once
// Pictures and the graphics port that draws into them. Drawing is pixel-exact: no antialiasing.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <memory>

namespace platform {

class Graphics;

// A picture: a 32-bit image, shared by reference (std::shared_ptr<Picture>) where several
// controls show the same one.
class Picture {
  public:
    Picture() = default;
    Picture(int width, int height);  // transparent-black 32-bit ARGB
    explicit Picture(QImage image);

    bool isNull() const { return image_.isNull(); }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

  private:
    QImage image_;
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

    void setForeColor(const QColor& c) { color_ = c; }
    void setTextFont(const QString& family, int pointSize, bool bold = false);

    void DrawLine(int x1, int y1, int x2, int y2);
    // Outline inside the rectangle with rounded corners of the given width and height.
    void DrawRoundRect(int x, int y, int w, int h, int cornerW, int cornerH);
    // Text whose first baseline is at baselineY, wrapped at wrapWidth pixels from x.
    void DrawWrappedString(const QString& text, int x, int baselineY, int wrapWidth);
    void FillRect(int x, int y, int w, int h);
    void DrawPicture(const Picture& picture, int x, int y);
    // Draws the source rectangle of picture at (x, y) unscaled.
    void DrawPicture(const Picture& picture, int x, int y, int srcX, int srcY, int w, int h);
    void ClearRect(int x, int y, int w, int h);  // fills with transparent black

  private:
    QPainter painter_;
    QColor color_{Qt::black};
};

}  // namespace platform
