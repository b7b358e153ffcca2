// Shared test entry: one QApplication for the whole run, offscreen unless a display is chosen.
#include <gtest/gtest.h>
extern "C" {
#include <libavutil/log.h>
}

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    // Kept preferences go to a place of this run's own, never the user's settings, and no two
    // test programs running at once share them.
    QTemporaryDir settings;
    if (!settings.isValid()) return 1;
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settings.path());
    // Qt wants a private runtime folder and warns on every start without one (a bare root,
    // a container); this run gets one of its own.
    QTemporaryDir runtime;
    if (!getenv("XDG_RUNTIME_DIR") && runtime.isValid())
        setenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()).constData(), 1);
    // Many tests feed FFmpeg damaged files on purpose; its notes on them would read as errors.
    // A real failure shows in the test's own result.
    av_log_set_level(AV_LOG_QUIET);
    // The offscreen screen cannot raise a window and says so on each raise; that is no failure.
    static QtMessageHandler passOn = nullptr;
    passOn = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& where, const QString& text) {
            if (text != "This plugin does not support raise()") passOn(type, where, text);
        });
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
