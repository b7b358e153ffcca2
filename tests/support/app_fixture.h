#pragma once
// A started program for widget tests: file types and a fresh main window per test. Dialogs
// answer from a script instead of appearing.

#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QString>
#include <deque>
#include <memory>
#include <vector>

#include "documents/playlist_io.h"
#include "lanes/deck_view.h"
#include "platform/dialogs.h"
#include "platform/window.h"
#include "shell/clip_handle.h"
#include "shell/deck_commands.h"
#include "shell/document_commands.h"
#include "shell/edit_commands.h"
#include "shell/folder_target.h"
#include "shell/lane_services.h"
#include "shell/main_menu.h"
#include "shell/main_window.h"
#include "shell/timeline_controls.h"

namespace testsupport {

// One of the objects the window carries its commands with (DeckCommands, EditCommands, ...).
template <class Part>
Part& partOf(const MainWindow& w) {
    return *w.findChild<Part*>();
}
// One of the window's controls by its object name; nullptr when there is none of that name.
template <class Control>
Control* controlOf(const MainWindow& w, const QString& name) {
    return w.findChild<Control*>(name);
}
inline LaneView* laneOf(const MainWindow& w, int n) {
    return controlOf<LaneView>(w, QStringLiteral("lane%1").arg(n));
}

class AppFixture : public ::testing::Test {
  public:
    void SetUp() override;
    void TearDown() override;

    // A clip as a dropped file makes it (the whole file, no fades), left edge at `left`.
    model::ClipRef add(LaneView* lane, double left, double length, const QString& name = "c");
    // Where the clip's centre stands on its lane now.
    double onLane(const model::Clip& clip) const { return clip.visibleCentre(mix().scrollX()); }
    // Takes every clip off lane n, as taking them one by one would.
    void emptyLane(int n) const {
        while (!mix().lane(n).empty()) mix().takeClip(n, 0);
    }

    // The window as the user meets it: its mix, its menu, its controls by name, and the objects
    // that carry its commands.
    model::Mix& mix() const { return documents().documentMix(); }
    MainMenu* menu() const { return w->findChild<MainMenu*>(); }
    LaneView* lane(int n) const { return laneOf(*w, n); }
    template <class Control>
    Control* control(const char* name) const {
        return controlOf<Control>(*w, QString::fromLatin1(name));
    }
    platform::StaticText* statusLine() const { return control<platform::StaticText>("statusLine"); }
    QString statusText() const { return statusLine()->text(); }
    DeckCommands& decks() const { return partOf<DeckCommands>(*w); }
    DocumentCommands& documents() const { return partOf<DocumentCommands>(*w); }
    EditCommands& edits() const { return partOf<EditCommands>(*w); }
    LaneServices& laneServices() const { return partOf<LaneServices>(*w); }
    engine::Deck& playDeck() const { return decks().playDeck(); }
    engine::Deck& previewDeck() const { return decks().previewDeck(); }
    engine::Transport& transport() const { return decks().transport(); }
    lanes::DeckView* playDeckView() const { return control<lanes::DeckView>("playDeckView"); }
    lanes::DeckView* previewDeckView() const { return control<lanes::DeckView>("previewDeckView"); }
    // What a drag of these files carries.
    static std::unique_ptr<QMimeData> files(const QStringList& paths);
    // Whether a drag or a drop was accepted; whatever the drag proposed, only as a copy: a drop
    // only reads the file, and after a move the program it came from deletes it.
    static bool acceptedAsCopy(const QDropEvent& e) {
        if (!e.isAccepted()) return false;
        EXPECT_EQ(e.dropAction(), Qt::CopyAction);
        return true;
    }
    // A left click on the content outside the controls that take it.
    void clickBackground(int x, int y) const;

    MainWindow* w = nullptr;
    // Answers for message dialogs, taken in order; Cancel when the script runs out.
    std::deque<platform::DialogAnswer> answers;
    std::vector<platform::MessageSpec> shownDialogs;
    // Paths returned by the file dialogs, in order; "" (cancel) when the script runs out.
    std::deque<QString> openFiles, saveFiles, folders;
};

// Deletes the window as a test ends with it: without the save prompt.
void discardWindow(MainWindow* w);

// Makes sure the file types are registered (once per test program).
void ensureApp();

// A new main window in place of any earlier one (closed without the save prompt).
MainWindow* freshWindow();

}  // namespace testsupport
