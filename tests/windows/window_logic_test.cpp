// The widget-free rules of the auxiliary windows.
#include "windows/window_logic.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include "model/numtext.h"
#include "support/temp_files.h"

namespace {

TEST(Transition, HalfSecondStepsRefusedAtTheBounds) {
    struct Case {
        double from, up, down;
    };
    const Case cases[] = {{3, 3.5, 2.5}, {0, 0.5, 0}, {10, 10, 9.5}, {9.5, 10, 9}, {0.5, 1, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(windows::transitionStepUp(c.from), c.up) << c.from;
        EXPECT_EQ(windows::transitionStepDown(c.from), c.down) << c.from;
    }
    // From the start value every value stays on the grid and shows without trailing zeros.
    double t = 3;
    QStringList shown;
    for (int i = 0; i < 16; ++i) shown << model::formatNumber(t = windows::transitionStepUp(t));
    EXPECT_EQ(shown.join(' '), "3.5 4 4.5 5 5.5 6 6.5 7 7.5 8 8.5 9 9.5 10 10 10");
    shown.clear();
    for (int i = 0; i < 22; ++i) shown << model::formatNumber(t = windows::transitionStepDown(t));
    EXPECT_EQ(shown.mid(17).join(' '), "1 0.5 0 0 0");
}

// A settings file edited by hand or left by another version: what the preferences could not
// have chosen gives the default.
TEST(KeptPreferences, ValuesThePreferencesCannotChooseGiveTheDefaults) {
    const struct {
        QVariant device, transition;
        int32_t wantDevice;
        double wantTransition;
    } cases[] = {
        {{}, {}, 0, 3},   {123456, 7.5, 123456, 7.5},       {"0x10", "2.5", 0, 2.5},
        {-5, 2.6, 0, 3},  {qlonglong(1) << 32, 10.5, 0, 3}, {7, -0.5, 7, 3},
        {7, "nan", 7, 3},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<QSettings> store = windows::preferencesStore();
        store->clear();
        if (c.device.isValid()) store->setValue("previewDevice", c.device);
        if (c.transition.isValid()) store->setValue("defaultTransition", c.transition);
        store->sync();
        const windows::KeptPreferences kept = windows::keptPreferences();
        EXPECT_EQ(kept.previewDevice, c.wantDevice) << c.device.toString().toStdString();
        EXPECT_EQ(kept.transition, c.wantTransition) << c.transition.toString().toStdString();
    }
    windows::preferencesStore()->clear();
}

TEST(AboutText, SixLinesEachEndedByACarriageReturn) {
    const QString address = "file:///usr/share/doc/vontalix/README.md";
    const QString text = windows::aboutText(address);
    EXPECT_TRUE(text.endsWith(QChar(13)));
    const QStringList lines = text.split(QChar(13));
    ASSERT_EQ(lines.size(), 7);  // six lines and nothing after the last return
    EXPECT_EQ(lines[0], "Vontalix 1.4 Intel / PPC");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Mp3 DJ-Player");
    EXPECT_EQ(lines[3], "Made by the Vontalix developers");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], address);
    EXPECT_EQ(lines[6], "");
}

TEST(AboutText, InstalledReadmeWinsOverTheSources) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    ASSERT_TRUE(QDir(prefix.path()).mkpath("bin"));
    ASSERT_TRUE(QDir(prefix.path()).mkpath("share/doc/vontalix"));
    const QString bin = prefix.path() + "/bin";
    // Not installed: the README of the sources.
    const QString fromSources = windows::readmeAddress(bin);
    EXPECT_TRUE(fromSources.startsWith("file:///")) << fromSources.toStdString();
    EXPECT_TRUE(fromSources.endsWith("/README.md"));
    EXPECT_TRUE(QFileInfo(QUrl(fromSources).toLocalFile()).isFile());
    // Installed: the copy beside the program.
    const QString installed = prefix.path() + "/share/doc/vontalix/README.md";
    ASSERT_TRUE(testsupport::writeFile(installed, "# Vontalix\n"));
    const QString address = windows::readmeAddress(bin);
    EXPECT_EQ(QUrl(address).toLocalFile(), QFileInfo(installed).canonicalFilePath());
}

TEST(LibraryList, RowsHeadingsAndCountLine) {
    const windows::LibrarySong song{"Title A", "Artist A", "file:///m/a.mp3", "Album A", "A - a"};
    EXPECT_EQ(windows::libraryRow(&song),
              QStringList({"Title A", "Artist A", "Album A", "A - a", "file:///m/a.mp3"}));
    EXPECT_EQ(windows::libraryRow(nullptr), QStringList({"", "", "", "", ""}));
    EXPECT_EQ(windows::libraryHeadings(),
              QStringList({"Title", "Artist", "Album", "Putzname", "Location"}));
    const std::pair<int, const char*> counts[] = {{0, "iTunes Library (0 songs "},
                                                  {1, "iTunes Library (1 songs "},
                                                  {1234, "iTunes Library (1234 songs "}};
    for (const auto& [n, text] : counts) EXPECT_EQ(windows::libraryCountText(n), text);
    // The list as start-up makes it: one empty slot.
    ASSERT_EQ(windows::librarySongs.size(), 1u);
    EXPECT_EQ(windows::librarySongs[0], nullptr);
}

}  // namespace
