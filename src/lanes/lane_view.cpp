// The lane widget's events, and lane storage: making clips and keeping them in z-order.
#include "lanes/lane_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPaintEvent>

#include "editing/lane_drops.h"

LaneView::LaneView(QWidget* parent, int lane, model::Mix& mix, engine::Deck& playDeck,
                   engine::Deck& previewDeck, lanes::LaneHost& host, model::StatusLine& statusLine)
    : QWidget(parent),
      clips(mix.lane(lane)),
      mix_(mix),
      playDeck_(playDeck),
      previewDeck_(previewDeck),
      host_(host),
      statusLine_(statusLine),
      lane_(lane) {
    setFocusPolicy(Qt::NoFocus);
    platform::PointerWatcher::instance().watch(this, &crossing_);
    editing::acceptLaneDrops(drops_);
    setAcceptDrops(true);
    // The lane shows the mix as it stands: a change of its clips, the zoom or the scroll repaints
    // it (coalesced into one paint, which draws the asked area from the clips).
    connect(&mix, &model::Mix::lanesChanged, this, [this](int n) {
        if (n == lane_) update();
    });
    connect(&mix, &model::Mix::viewChanged, this, qOverload<>(&QWidget::update));
    // The handles follow the selected clip of this lane as it is nudged or trimmed.
    connect(&mix, &model::Mix::selectedClipEdited, this, [this] {
        if (!mix_.selection() || mix_.selection()->lane != lane_) return;
        showHandles();
        redrawPictures();
        update();
    });
}

LaneView::~LaneView() { platform::PointerWatcher::instance().unwatch(this); }

void LaneView::setBackdrop(model::PictureRef picture) {
    backdrop_ = std::move(picture);
    update();
}

// Qt double-buffers the widget, so what is shown never flickers.
void LaneView::paintEvent(QPaintEvent* e) {
    model::Graphics g(this);
    if (backdrop_ && !backdrop_->isNull()) g.drawPicture(*backdrop_, 0, 0);
    draw(g, e->rect());
}

void LaneView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    const QPoint p = e->position().toPoint();
    keepPress_ = false;
    tracking_ = pressAt(p.x(), p.y());
    if (tracking_ || keepPress_) {
        e->accept();
    } else {
        e->ignore();  // empty lane space: the window gets the press
    }
}

void LaneView::mouseMoveEvent(QMouseEvent* e) {
    if (!tracking_) {
        e->ignore();
        return;
    }
    const QPoint p = e->position().toPoint();
    dragTo(p.x(), p.y());
}

void LaneView::mouseReleaseEvent(QMouseEvent* e) {
    if (!tracking_) {
        e->ignore();
        return;
    }
    tracking_ = false;
    const QPoint p = e->position().toPoint();
    releaseAt(p.x(), p.y());
}

void LaneView::enterEvent(QEnterEvent*) {
    // The window system also reports an enter when a dialog, a menu or a drag ends over the
    // lane; the mouse did not come in then, and the status message of what just ended must
    // stay readable.
    if (crossing_.takeCrossing()) host_.mouseEnteredLane(lane_);
}

void LaneView::dragEnterEvent(QDragEnterEvent* e) {
    const bool taken = drops_.accepts(e->mimeData());
    platform::answerDrop(e, taken);
    if (taken) host_.dragEnteredLane(*this);
}

void LaneView::dragMoveEvent(QDragMoveEvent* e) {
    platform::answerDrop(e, drops_.accepts(e->mimeData()));
}

void LaneView::dragLeaveEvent(QDragLeaveEvent*) { host_.dragLeftLane(*this); }

void LaneView::dropEvent(QDropEvent* e) {
    const platform::DragItem item(e->mimeData(), e->position().toPoint(),
                                  platform::clipHotspot(e->mimeData()));
    platform::answerDrop(e, host_.droppedOnLane(*this, item));
}

int LaneView::indexOf(const model::Clip* clip) const { return mix_.indexOf(lane_, clip); }

void LaneView::addClip(const model::ClipRef& clip) { mix_.addClip(lane_, clip); }

void LaneView::addNewClip(double left, model::ClipFields spec) {
    mix_.addNewClip(lane_, left, std::move(spec));
}

void LaneView::bringToFront(const model::ClipRef& clip) { mix_.bringToFront(lane_, clip); }
