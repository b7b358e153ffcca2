// New, Open, closing and the save prompt; Save, Save as and the window title.
#include "document_fixture.h"

namespace {

using platform::DialogAnswer;
using testsupport::DocumentFixture;

class DocumentCommands : public DocumentFixture {};

enum class Command { New, Open, Close };
enum class Doc { Empty, Saved, Changed };
enum class Reply { None, Save, DontSave, Cancel };

struct PromptCase {
    Command command;
    Doc doc;
    Reply reply;
    bool prompted;
    bool goesOn;         // the document was replaced, or the window may close
    int recordsInSaved;  // records in the document's file afterwards (-1: no file)
};

std::string describe(const PromptCase& c) {
    static const char* commands[] = {"New", "Open", "Close"};
    static const char* docs[] = {"empty", "saved", "changed"};
    static const char* replies[] = {"-", "Save", "Don't save", "Cancel"};
    return std::string(commands[int(c.command)]) + " / " + docs[int(c.doc)] + " / " +
           replies[int(c.reply)];
}

TEST_F(DocumentCommands, PromptMatrix) {
    const PromptCase cases[] = {
        {Command::New, Doc::Empty, Reply::None, false, true, -1},
        {Command::New, Doc::Saved, Reply::None, false, true, 1},
        {Command::New, Doc::Changed, Reply::Save, true, true, 2},
        {Command::New, Doc::Changed, Reply::DontSave, true, true, 1},
        {Command::New, Doc::Changed, Reply::Cancel, true, false, 1},
        {Command::Open, Doc::Empty, Reply::None, false, true, -1},
        // Open asks whenever a lane holds clips, even right after a save.
        {Command::Open, Doc::Saved, Reply::Save, true, true, 1},
        {Command::Open, Doc::Saved, Reply::DontSave, true, true, 1},
        {Command::Open, Doc::Saved, Reply::Cancel, true, false, 1},
        {Command::Open, Doc::Changed, Reply::Save, true, true, 2},
        {Command::Open, Doc::Changed, Reply::DontSave, true, true, 1},
        {Command::Open, Doc::Changed, Reply::Cancel, true, false, 1},
        {Command::Close, Doc::Empty, Reply::None, false, true, -1},
        {Command::Close, Doc::Saved, Reply::None, false, true, 1},
        {Command::Close, Doc::Changed, Reply::Save, true, true, 2},
        {Command::Close, Doc::Changed, Reply::DontSave, true, true, 1},
        {Command::Close, Doc::Changed, Reply::Cancel, true, false, 1},
    };
    const QString other = path("other.txt");
    ASSERT_TRUE(testsupport::writeFile(
        other, model::playlistHeaderLine() + record(1, 30, 500, "other", media("o.mp3"))));
    const QString doc = path("doc.txt");

    for (const PromptCase& c : cases) {
        SCOPED_TRACE(describe(c));
        documents().resetDocument();
        QFile::remove(doc);
        if (c.doc != Doc::Empty) {
            addClip(1, 200, 100, "a", media("a.mp3"));
            saveFiles = {doc};
            ASSERT_EQ(documents().save(), 1);
        }
        if (c.doc == Doc::Changed) addClip(2, 300, 50, "b", media("b.mp3"));
        const int clipsBefore = clipCount();
        const QString pathBefore = mix().document().path;
        shownDialogs.clear();
        answers.clear();
        if (c.reply == Reply::Save) answers.push_back(DialogAnswer::Action);
        if (c.reply == Reply::DontSave) answers.push_back(DialogAnswer::Alternate);
        if (c.reply == Reply::Cancel) answers.push_back(DialogAnswer::Cancel);

        bool goesOn = false;
        switch (c.command) {
            case Command::New:
                menu()->newAction->trigger();
                goesOn = clipCount() == 0 && mix().document().path.isEmpty();
                break;
            case Command::Open:
                documents().open(other);
                goesOn = mix().document().path == other &&
                         names(lane(1)) == std::vector<QString>{"other"};
                break;
            case Command::Close:
                goesOn = !documents().keepOpen();
                break;
        }

        EXPECT_EQ(promptShown(), c.prompted);
        EXPECT_EQ(shownDialogs.size(), c.prompted ? 1u : 0u);
        EXPECT_EQ(goesOn, c.goesOn);
        if (!c.goesOn) {
            EXPECT_EQ(clipCount(), clipsBefore);
            EXPECT_EQ(mix().document().path, pathBefore);
        }
        const QByteArray saved = readFile(doc);
        EXPECT_EQ(saved == "<missing>" ? -1 : recordCount(saved), c.recordsInSaved);
    }
}

TEST_F(DocumentCommands, ThePromptAsksToSaveWithThreeButtons) {
    addClip(1, 200, 100, "a", media("a.mp3"));
    menu()->newAction->trigger();
    ASSERT_EQ(shownDialogs.size(), 1u);
    const platform::MessageSpec& p = shownDialogs[0];
    EXPECT_EQ(p.icon, QMessageBox::Warning);
    EXPECT_EQ(p.message, "Save Playlist?");
    EXPECT_EQ(p.explanation, "If you don't save, changes will be lost. ");
    EXPECT_EQ(p.actionCaption, "Save");
    EXPECT_EQ(p.alternateCaption, "Don't save");
    EXPECT_FALSE(p.cancelCaption.isEmpty());
}

// "Save" in the prompt of an untitled document, then Cancel in the save dialog: the command stops
// as after Cancel, and Open never gets to its own dialog.
TEST_F(DocumentCommands, CancelledSaveDialogInThePromptStopsTheCommand) {
    for (Command command : {Command::New, Command::Open, Command::Close}) {
        SCOPED_TRACE(int(command));
        documents().resetDocument();
        addClip(1, 200, 100, "a", media("a.mp3"));
        answers = {DialogAnswer::Action};
        saveFiles.clear();
        openFilters.clear();
        bool closes = false;
        if (command == Command::New) menu()->newAction->trigger();
        if (command == Command::Open) documents().open(QString());
        if (command == Command::Close) closes = !documents().keepOpen();
        EXPECT_FALSE(closes);
        EXPECT_TRUE(openFilters.empty());
        EXPECT_EQ(clipCount(), 1);
        EXPECT_EQ(w->windowTitle(), "Vontalix");
        EXPECT_FALSE(mix().document().saved);
    }
}

TEST_F(DocumentCommands, DontSaveThenCancelledOpenDialogKeepsTheClips) {
    addClip(1, 200, 100, "a", media("a.mp3"));
    answers = {DialogAnswer::Alternate};
    documents().open(QString());
    EXPECT_EQ(openFilters.size(), 1u);
    EXPECT_EQ(names(lane(1)), std::vector<QString>{"a"});
    EXPECT_FALSE(mix().document().saved);
}

TEST_F(DocumentCommands, TheDialogsOfferTextFilesAndSuggestAnUntitledOne) {
    menu()->openAction->trigger();
    ASSERT_EQ(openFilters.size(), 1u);
    const QStringList& f = openFilters[0];
    EXPECT_TRUE(f.contains("All files (*)"));
    EXPECT_TRUE(f.filter("*.txt").size() == 1 && f.filter("*.text").size() == 1)
        << f.join(";;").toStdString();
    EXPECT_EQ(documents().save(), 0);
    ASSERT_EQ(saveNames.size(), 1u);
    EXPECT_EQ(saveNames[0], "NerovaUNTITLED.txt");
    EXPECT_EQ(w->windowTitle(), "Vontalix");
    EXPECT_TRUE(mix().document().path.isEmpty());
}

TEST_F(DocumentCommands, TitleFollowsTheDocumentPath) {
    EXPECT_EQ(w->windowTitle(), "Vontalix");
    addClip(1, 200, 100, "a", media("a.mp3"));
    const QString doc = path("mix.txt");
    saveFiles = {doc};
    ASSERT_EQ(documents().save(), 1);
    EXPECT_EQ(w->windowTitle(), "Vontalix  -  " + doc);
    EXPECT_TRUE(mix().document().saved);

    // A titled document is saved in place, without a dialog.
    addClip(2, 400, 100, "b", media("b.mp3"));
    saveNames.clear();
    ASSERT_EQ(documents().save(), 1);
    EXPECT_TRUE(saveNames.empty());
    EXPECT_EQ(recordCount(readFile(doc)), 2);
    EXPECT_EQ(w->windowTitle(), "Vontalix  -  " + doc);

    answers = {DialogAnswer::Alternate};
    menu()->newAction->trigger();
    EXPECT_EQ(w->windowTitle(), "Vontalix");
}

TEST_F(DocumentCommands, SaveAsKeepsThePreviousPathUntilAFileIsWritten) {
    addClip(1, 200, 100, "a", media("a.mp3"));
    const QString doc = path("mix.txt");
    saveFiles = {doc};
    ASSERT_EQ(documents().save(), 1);
    addClip(2, 400, 100, "b", media("b.mp3"));

    menu()->saveAsAction->trigger();  // the save dialog is cancelled
    EXPECT_EQ(saveNames.size(), 2u);
    EXPECT_EQ(mix().document().path, doc);
    EXPECT_EQ(w->windowTitle(), "Vontalix  -  " + doc);
    EXPECT_FALSE(mix().document().saved);
    EXPECT_EQ(recordCount(readFile(doc)), 1);

    menu()->saveAction->trigger();
    EXPECT_EQ(saveNames.size(), 2u);
    EXPECT_EQ(recordCount(readFile(doc)), 2);

    // Save as to a file chosen: it is written and becomes the document.
    const QString second = path("second.txt");
    saveFiles = {second};
    menu()->saveAsAction->trigger();
    EXPECT_EQ(mix().document().path, second);
    EXPECT_EQ(w->windowTitle(), "Vontalix  -  " + second);
    EXPECT_EQ(readFile(doc), readFile(second));

    // Closing without the prompt asks nothing, changed or not.
    addClip(1, 600, 100, "c", media("c.mp3"));
    documents().closeWithoutPrompt();
    EXPECT_FALSE(documents().keepOpen());
    EXPECT_TRUE(shownDialogs.empty());
}

TEST_F(DocumentCommands, AnOpenedPlaylistCountsAsChangedWhenItHoldsClips) {
    const QString list = path("list.txt");
    ASSERT_TRUE(testsupport::writeFile(
        list, model::playlistHeaderLine() + record(1, 30, 100, "x", media("x.mp3"))));
    documents().open(list);
    ASSERT_EQ(clipCount(), 1);
    EXPECT_FALSE(mix().document().saved);
    menu()->newAction->trigger();
    EXPECT_TRUE(promptShown());

    // Without records it opens empty, unchanged, and saves as the header alone.
    ASSERT_TRUE(testsupport::writeFile(list, model::playlistHeaderLine()));
    answers = {DialogAnswer::Alternate};
    documents().open(list);
    EXPECT_EQ(clipCount(), 0);
    EXPECT_EQ(w->windowTitle(), "Vontalix  -  " + list);
    EXPECT_TRUE(mix().document().saved);
    ASSERT_TRUE(testsupport::writeFile(list, "stale"));
    ASSERT_EQ(documents().save(), 1);
    EXPECT_EQ(readFile(list), model::playlistHeaderLine());
}

}  // namespace
