#pragma once
// The open mix without its widgets: the clips of the two lanes, the selection, the clipboard clip
// and the paste target, the zoom and the scroll, and the playlist document it came from. The
// views draw it and turn input into changes of it; the decks play it. Changes go through its
// methods, which tell the views by signals: nobody redraws a view from outside. Readers get const
// access; whoever changes clips in place says so with clipsEdited.

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "model/clip.h"
#include "model/playlist_format.h"

namespace model {

// The playlist file behind the mix.
struct Document {
    QString path;        // "" while untitled
    bool saved = false;  // nothing changed since the last open or save
    // Record lines the playlist held that could not be loaded: written back by every save, and
    // forgotten with the document.
    model::KeptRecords keptRecords;
};

// The clip picked on a lane: the lane (1 or 2) and its index there.
struct ClipSelection {
    int32_t lane = 0;
    int32_t index = 0;
    bool operator==(const ClipSelection&) const = default;
};

// Where a paste puts the clipboard clip: a place on the timeline (timeline pixels, so it keeps
// its place in time through a scroll and, scaled with everything else, a zoom) on a lane (1 or 2).
struct PasteTarget {
    double timelineX = 0;
    int32_t lane = 0;
    bool operator==(const PasteTarget&) const = default;
};

class Mix : public QObject {
    Q_OBJECT
  public:
    // Each lane's clips in z-order: index 0 at the bottom, the last on top. Read on the tick:
    // the accessors below neither copy nor lock.
    const std::vector<ClipRef>& lane(int n) const { return lanes_[n == 2 ? 1 : 0]; }
    const Document& document() const { return document_; }
    float pixelsPerSecond() const { return pixelsPerSecond_; }  // the zoom
    float scrollX() const { return scrollX_; }  // timeline pixels scrolled off the left edge
    // None: no clip selected.
    const std::optional<ClipSelection>& selection() const { return selection_; }
    const ClipRef& clipboardClip() const { return clipboardClip_; }  // belongs to no lane
    // None: nowhere to paste.
    const std::optional<PasteTarget>& pasteTarget() const { return pasteTarget_; }
    // Seconds of overlap when a folder is laid out.
    double defaultTransition() const { return defaultTransition_; }

    // The clip's index on lane n (1 or 2), -1 when it is not there.
    int indexOf(int n, const Clip* clip) const;
    // Puts the clip on top of lane n unless this very object is there already; its movie is
    // opened on the worker now, long before a head reaches it. Marks the document changed.
    void addClip(int n, const ClipRef& clip);
    // Makes a clip from its fields and puts it on top of lane n (`left` in visible pixels; its
    // centre on the timeline adds the scroll). Marks the document changed.
    ClipRef addNewClip(int n, double left, ClipFields spec);
    // Moves the clip to the top of lane n; false when it is not there.
    bool bringToFront(int n, const ClipRef& clip);
    // Takes the clip at index i off lane n (it moves elsewhere, or the caller drops it).
    ClipRef takeClip(int n, int i);
    // Deletes the clip at index i of lane n: the document counts as changed.
    void deleteClip(int n, int i);
    // Every clip of both lanes whose centre lies right of `from` (on the timeline) moves by delta.
    void shiftClipsRight(double delta, double from);
    // Every clip whose centre lies at or right of `from` (on the timeline) goes to the other lane,
    // laid above the clips there.
    void swapClipsFrom(double from);
    // Turns the z-order of both lanes round: the bottom clip goes on top.
    void reverseStacking();
    // The caller changed clips of lane n in place (their place, edit points or picture).
    void clipsEdited(int n);
    // The caller nudged or trimmed the selected clip: its lane redraws, its handles follow.
    void markSelectedClipEdited();
    // Everything on the timeline scales by f with the zoom: the clips' places, lengths, edit
    // points and start offsets, the clipboard clip's lengths and the paste target's place. Each
    // lane clip then gets the picture `redraw` draws of it at its new length.
    void scaleTimeline(double f, const std::function<PictureRef(const Clip&)>& redraw);

    void select(int lane, int index);
    // No clip selected.
    void clearSelection();

    void setClipboardClip(ClipRef clip);
    void setPasteTarget(std::optional<PasteTarget> target);
    void setDefaultTransition(double seconds);

    void setZoom(float pixelsPerSecond);
    void setScrollX(float x);

    void setPath(const QString& path);
    // Something was done that a save would keep.
    void markChanged();
    // The document is the file at its path as it stands now.
    void markSaved();
    // A record line the mix cannot use, written back by every save of this document.
    void keepRecord(QByteArrayView line);
    // The kept lines belonged to the document just ended.
    void forgetKeptRecords();

  signals:
    // Lane n (1 or 2) gained, lost, reordered or edited clips.
    void lanesChanged(int lane);
    void selectionChanged();
    // The selected clip was nudged or trimmed: its handles stand at it again.
    void selectedClipEdited();
    // The saved flag changed, or the document was saved or opened under its path.
    void documentChanged();
    // The zoom or the scroll changed.
    void viewChanged();
    // A clip was deleted from the mix (not moved to the other lane).
    void clipDeleted(const QString& name);

  private:
    std::vector<ClipRef>& mutableLane(int n) { return lanes_[n == 2 ? 1 : 0]; }

    std::array<std::vector<ClipRef>, 2> lanes_;
    Document document_;
    float pixelsPerSecond_ = 0;
    float scrollX_ = 0;
    std::optional<ClipSelection> selection_;
    ClipRef clipboardClip_;
    std::optional<PasteTarget> pasteTarget_;
    double defaultTransition_ = 3.0;
};

}  // namespace model
