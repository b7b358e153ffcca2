// Shared test entry: one QApplication for the whole run, offscreen unless a display is chosen.
#include <gtest/gtest.h>

#include <QApplication>
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
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
