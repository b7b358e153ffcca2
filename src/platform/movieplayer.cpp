#include "platform/movieplayer.h"

#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "model/numtext.h"

namespace platform {

namespace {
constexpr int kRefreshMs = 100;
constexpr double kSliderStepsPerSecond = 10;
// A movie stopped this close to its end counts as played out.
constexpr double kEndSlack = 0.05;
}  // namespace

QString minutesText(double seconds) {
    const int64_t s = seconds > 0 ? static_cast<int64_t>(whole(seconds)) : 0;
    return Str(s / 60) + QStringLiteral(":") + QStringLiteral("%1").arg(s % 60, 2, 10, QChar('0'));
}

void MoviePlayer::setController(int kind) {
    if (kind != 2) {
        hide();
        return;
    }
    if (!button_) {
        button_ = new QToolButton(this);
        button_->setAutoRaise(true);
        button_->setFocusPolicy(Qt::NoFocus);
        connect(button_, &QToolButton::clicked, this, [this] { togglePlay(); });
        slider_ = new QSlider(Qt::Horizontal, this);
        slider_->setFocusPolicy(Qt::NoFocus);
        slider_->setRange(0, 0);
        // A click or a drag moves the movie to the slider's place.
        connect(slider_, &QSlider::sliderMoved, this,
                [this](int v) { seekTo(v / kSliderStepsPerSecond); });
        connect(slider_, &QSlider::actionTriggered, this, [this](int action) {
            if (action != QAbstractSlider::SliderMove)
                seekTo(slider_->sliderPosition() / kSliderStepsPerSecond);
        });
        time_ = new QLabel(this);
        time_->setFont(controlFont(9));
        time_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        refresh_ = new QTimer(this);
        refresh_->setInterval(kRefreshMs);
        connect(refresh_, &QTimer::timeout, this, [this] { refreshBar(); });
    }
    show();
    resizeEvent(nullptr);
    refreshBar();
}

void MoviePlayer::togglePlay() {
    if (Rate() > 0) {
        Stop();
    } else if (Movie()) {
        if (Position() >= Movie()->Duration() - kEndSlack) setPosition(0);
        Play();
    }
    refreshBar();
}

void MoviePlayer::seekTo(double seconds) {
    setPosition(seconds);
    refreshBar();
}

void MoviePlayer::refreshBar() {
    if (!button_) return;
    const media::MovieRef movie = Movie();
    const bool playing = Rate() > 0;
    // The bar follows the movie while it plays (and notices it play out); idle, it wakes nobody.
    if (playing && !refresh_->isActive()) refresh_->start();
    if (!playing) refresh_->stop();
    button_->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    button_->setToolTip(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
    button_->setEnabled(movie != nullptr);
    slider_->setEnabled(movie != nullptr);
    const double duration = movie ? movie->Duration() : 0;
    const double position = movie ? Position() : 0;
    slider_->setMaximum(whole(duration * kSliderStepsPerSecond));
    if (!slider_->isSliderDown()) slider_->setValue(whole(position * kSliderStepsPerSecond));
    const auto text = timeText ? timeText : minutesText;
    time_->setText(movie ? text(position) + QStringLiteral(" / ") + text(duration) : QString());
    // The time takes the room its text needs; the slider the rest.
    const int needed = time_->fontMetrics().horizontalAdvance(time_->text()) + 4;
    if (needed > time_->width() || needed < time_->width() - 20) resizeEvent(nullptr);
}

void MoviePlayer::resizeEvent(QResizeEvent*) {
    if (!button_) return;
    const int h = height();
    button_->setGeometry(0, 0, h, h);
    button_->setIconSize(QSize(h - 4, h - 4));
    const int needed = time_->fontMetrics().horizontalAdvance(time_->text()) + 4;
    const int timeWidth = std::min(needed, std::max(0, (width() - h) / 2));
    time_->setGeometry(width() - timeWidth, 0, timeWidth, h);
    slider_->setGeometry(h + 2, 0, std::max(0, width() - h - timeWidth - 6), h);
}

}  // namespace platform
