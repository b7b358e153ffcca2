#pragma once
// The selected clip's four handles and the guide lines of its in and out points: they stand at
// the clip the lanes show selected, and a handle pressed, dragged sideways and released sets the
// clip's in point, out point, end of the fade-in or start of the fade-out.

#include <QObject>
#include <array>

#include "editing/edit_host.h"
#include "lanes/lane_view.h"
#include "model/clip.h"
#include "model/mix.h"
#include "platform/controls.h"
#include "shell/clip_handle.h"
#include "shell/main_menu.h"

class ClipHandles : public QObject {
    Q_OBJECT
  public:
    // The handles and guide lines the window built, in its content widget.
    struct Parts {
        ClipHandle *inPoint = nullptr, *outPoint = nullptr, *fadeIn = nullptr, *fadeOut = nullptr;
        platform::Line *inPointGuide = nullptr, *outPointGuide = nullptr;
    };

    ClipHandles(QObject* parent, model::Mix& mix, editing::EditHost& edits, MainMenu& menu,
                std::array<LaneView*, 2> lanes, const Parts& parts);

  private:
    // The handles and their guide lines stand at the clip on the lane whose top is laneTop, or
    // go out of sight; the Edit menu follows.
    void place(const model::Clip& clip, int laneTop);
    void hide();
    void dragged(ClipHandle& handle, int x);
    void released(const ClipHandle& handle);

    model::Mix& mix_;
    editing::EditHost& edits_;
    MainMenu& menu_;
    std::array<LaneView*, 2> lanes_;
    Parts parts_;
    int dragStartX_ = 0;  // mouse x in the handle where its drag began
};
