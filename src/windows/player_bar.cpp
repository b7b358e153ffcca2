#include "windows/player_bar.h"

#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QTimerEvent>
#include <QToolButton>

#include "model/lane_logic.h"
#include "model/numtext.h"
#include "platform/fonts.h"

namespace windows {

namespace {
constexpr int kRefreshMs = 100;
constexpr double kSliderStepsPerSecond = 10;
// A movie stopped this close to its end counts as played out.
constexpr double kEndSlack = 0.05;
}  // namespace

PlayerBar::PlayerBar(media::MoviePlayer& player, QWidget* parent)
    : QWidget(parent),
      player_(player),
      button_(new QToolButton(this)),
      slider_(new QSlider(Qt::Horizontal, this)),
      time_(new QLabel(this)) {
    button_->setAutoRaise(true);
    button_->setFocusPolicy(Qt::NoFocus);
    connect(button_, &QToolButton::clicked, this, [this] { togglePlay(); });
    slider_->setFocusPolicy(Qt::NoFocus);
    slider_->setRange(0, 0);
    // A click or a drag moves the movie to the slider's place.
    connect(slider_, &QSlider::sliderMoved, this,
            [this](int v) { seekTo(v / kSliderStepsPerSecond); });
    connect(slider_, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove)
            seekTo(slider_->sliderPosition() / kSliderStepsPerSecond);
    });
    time_->setFont(platform::controlFont(9));
    time_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    refresh();
}

void PlayerBar::togglePlay() {
    if (player_.rate() > 0) {
        player_.stop();
    } else if (const media::MovieRef movie = player_.movie()) {
        if (player_.position() >= movie->duration() - kEndSlack) player_.setPosition(0);
        player_.play();
    }
    refresh();
}

void PlayerBar::seekTo(double seconds) {
    player_.setPosition(seconds);
    refresh();
}

void PlayerBar::refresh() {
    const media::MovieRef movie = player_.movie();
    const bool playing = player_.rate() > 0;
    // The bar follows the movie while it plays (and notices it play out); idle, it wakes nobody.
    if (playing && !refresh_.isActive()) refresh_.start(kRefreshMs, this);
    if (!playing) refresh_.stop();
    button_->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    button_->setToolTip(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
    button_->setEnabled(movie != nullptr);
    slider_->setEnabled(movie != nullptr);
    const double duration = movie ? movie->duration() : 0;
    const double position = movie ? player_.position() : 0;
    slider_->setMaximum(model::whole(duration * kSliderStepsPerSecond));
    if (!slider_->isSliderDown()) slider_->setValue(model::whole(position * kSliderStepsPerSecond));
    time_->setText(movie ? model::timeText(position) + QStringLiteral(" / ") +
                               model::timeText(duration)
                         : QString());
    // The time takes the room its text needs; the slider the rest.
    const int needed = time_->fontMetrics().horizontalAdvance(time_->text()) + 4;
    if (needed > time_->width() || needed < time_->width() - 20) layOut();
}

void PlayerBar::timerEvent(QTimerEvent* e) {
    if (e->timerId() == refresh_.timerId()) refresh();
}

void PlayerBar::resizeEvent(QResizeEvent*) { layOut(); }

void PlayerBar::layOut() {
    const int h = height();
    button_->setGeometry(0, 0, h, h);
    button_->setIconSize(QSize(h - 4, h - 4));
    const int needed = time_->fontMetrics().horizontalAdvance(time_->text()) + 4;
    const int timeWidth = std::min(needed, std::max(0, (width() - h) / 2));
    time_->setGeometry(width() - timeWidth, 0, timeWidth, h);
    slider_->setGeometry(h + 2, 0, std::max(0, width() - h - timeWidth - 6), h);
}

}  // namespace windows
