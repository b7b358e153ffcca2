#pragma once
// A started program for widget tests: file types and a fresh main window per test. Dialogs
// answer from a script instead of appearing.

#include <gtest/gtest.h>

#include <QString>
#include <deque>
#include <vector>

#include "platform/dialogs.h"
#include "shell/main_window.h"

namespace testsupport {

class AppFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Where the clip's centre stands on its lane now.
    double onLane(const model::Clip& clip) const { return clip.visibleCentre(w->mix.scrollX); }

    MainWindow* w = nullptr;
    // Answers for message dialogs, taken in order; Cancel when the script runs out.
    std::deque<platform::DialogAnswer> answers;
    std::vector<platform::MessageSpec> shownDialogs;
    // Paths returned by the file dialogs, in order; "" (cancel) when the script runs out.
    std::deque<QString> openFiles, saveFiles, folders;
};

// Makes sure the file types are registered (once per test program).
void ensureApp();

// A new main window in place of any earlier one (closed without the save prompt).
MainWindow* freshWindow();

}  // namespace testsupport
