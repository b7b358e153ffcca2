#pragma once
// What a drag carries, as the drop targets see it.

#include <QByteArray>
#include <QMimeData>
#include <QPoint>
#include <QString>
#include <QStringList>

class QDropEvent;

namespace platform {

// Private type of the program's own clip drags between lanes; foreign data never uses it.
inline constexpr const char* kClipMimeType = "application/x-vontalix-clip";
// Private type carrying a music library's track data (an XML property list).
inline constexpr const char* kLibraryMimeType = "application/x-vontalix-itun";

class DragItem {
  public:
    DragItem(const QMimeData* data, QPoint dropPoint, int hotspotX = 0)
        : data_(data), drop_(dropPoint), hotspotX_(hotspotX) {}
    // A drag about to leave a control: its handler fills in what it carries.
    explicit DragItem(QMimeData* outgoing) : data_(outgoing), out_(outgoing) {}

    // Local files carried by the drag (file URLs), in order.
    QStringList files() const;
    bool hasFiles() const { return !files().isEmpty(); }
    QString firstFile() const;  // first file, "" when none

    bool hasText() const;
    QString text() const;
    // Only for a drag about to leave; a drop's data cannot be changed.
    void setText(const QString& text);

    // Only the program's own clip drag counts as a picture; foreign images are ignored.
    bool hasClip() const;
    QByteArray clipData() const;

    bool hasPrivateData(const QString& type) const;
    QByteArray privateData(const QString& type) const;

    // Left edge of the dragged thing on the target, in the target's coordinates.
    int dropLeft() const { return drop_.x() - hotspotX_; }
    QPoint dropPoint() const { return drop_; }

    const QMimeData* mimeData() const { return data_; }

  private:
    const QMimeData* data_;
    QMimeData* out_ = nullptr;
    QPoint drop_;
    int hotspotX_ = 0;
};

// What a drop target takes: files of registered types (by name), text, the program's own clip
// drags, and the private music-library data ("itun"). Nothing until something is declared.
class DropAcceptance {
  public:
    void acceptFiles(const QString& typeName);
    void acceptText() { text_ = true; }
    void acceptClips() { picture_ = true; }
    void acceptPrivateData(const QString& type);
    bool accepts(const QMimeData* data) const;

  private:
    QStringList fileTypes_;
    bool text_ = false, picture_ = false, library_ = false;
};

// The answer to a drag hovering over a target (taken: the target takes what it carries) or to a
// drop (taken: the target took it). A drop only reads what it carries, so it is taken as a copy,
// never a move, after which the program the drag came from would delete its file; a drag that
// offers no copy, and a drop refused, are not accepted at all.
void answerDrop(QDropEvent* e, bool taken);

// The hotspot of an internal drag is stored with it so dropLeft gives the dragged picture's left.
QMimeData* makeClipMimeData(const QByteArray& payload, int hotspotX);
int clipHotspot(const QMimeData* data);

}  // namespace platform

#include <QPixmap>
#include <functional>

class QWidget;

namespace platform {

// Runs a drag-and-drop from source with the given data (ownership passes) and returns when it is
// over. Tests replace it to see what would have been dragged.
void startDrag(QWidget* source, QMimeData* data, const QPixmap& picture, QPoint hotspot);
std::function<void(QWidget*, QMimeData*, const QPixmap&, QPoint)>& dragHook();

}  // namespace platform
