// The document commands over a host that is not the main window: they read and change only the
// host's mix, and reach the window only through the host's calls.
#include <QWidget>

#include "document_fixture.h"
#include "documents/document.h"
#include "documents/folder_mix.h"
#include "documents/movie_export_window.h"

namespace {

using testsupport::DocumentFixture;

class RecordingHost : public model::StatusLine, public documents::DocumentHost {
  public:
    RecordingHost() : DocumentHost(static_cast<model::StatusLine&>(*this)) {}

    model::Mix mix;
    QWidget window;
    QString status;
    int resets = 0;

    model::Mix& documentMix() override { return mix; }
    QWidget* documentWindow() override { return &window; }
    void resetDocument() override {
        ++resets;
        for (int n : {1, 2})
            while (!mix.lane(n).empty()) mix.takeClip(n, 0);
        mix.setPath(QString());
        mix.forgetKeptRecords();
        mix.setZoom(1);
        mix.setScrollX(0);
        mix.markSaved();
    }
    QString titledPath() const override { return QString(); }
    void showMessage(const QString& text) override { status = text; }
    QString text() const override { return status; }
};

class DocumentHostTest : public DocumentFixture {};

std::vector<QString> clipNames(const std::vector<model::ClipRef>& lane) {
    std::vector<QString> out;
    for (const model::ClipRef& c : lane) out.push_back(c->name);
    return out;
}

TEST_F(DocumentHostTest, OpenSaveAndOpenFolderWorkOnTheHostsMixAlone) {
    RecordingHost host;
    host.resetDocument();
    const QString list = path("list.txt");
    const QByteArray damaged = "vtlx%1%damaged\r";
    ASSERT_TRUE(testsupport::writeFile(
        list, model::playlistHeaderLine() + record(1, 30, 500, "top", media("a.mp3")) +
                  record(1, 30, 510, "under", media("b.mp3")) + damaged +
                  record(2, 40, 900, "other", media("c.mp3"))));
    const int windowClips = clipCount();

    documents::open(host, list);
    EXPECT_EQ(clipNames(host.mix.lane(1)), (std::vector<QString>{"under", "top"}));
    EXPECT_EQ(clipNames(host.mix.lane(2)), (std::vector<QString>{"other"}));
    EXPECT_EQ(host.mix.document().keptRecords.count(), 1);
    EXPECT_EQ(host.mix.document().path, list);
    EXPECT_FALSE(host.status.isEmpty());  // names the damaged record
    EXPECT_FALSE(host.documentBusy);
    EXPECT_EQ(clipCount(), windowClips);  // the window's own mix is untouched

    // Save as writes the host's lanes and the kept record; the document is the new file.
    const QString copy = path("copy.txt");
    saveFiles.push_back(copy);
    host.mix.setPath(QString());
    EXPECT_TRUE(documents::save(host));
    EXPECT_EQ(host.mix.document().path, copy);
    const QByteArray written = readFile(copy);
    EXPECT_EQ(recordCount(written), 4);
    EXPECT_TRUE(written.contains(damaged));

    // Open Folder asks as the lanes hold clips, then lays the folder out in place of the mix.
    ASSERT_TRUE(QDir(dir.path()).mkpath("folder"));
    for (const char* name : {"1.mp3", "2.mp3", "3.txt"}) media(QStringLiteral("folder/") + name);
    folders.push_back(path("folder"));
    answers.push_back(platform::DialogAnswer::Alternate);
    documents::openFolder(host);
    EXPECT_TRUE(promptShown());
    EXPECT_EQ(clipNames(host.mix.lane(1)), (std::vector<QString>{"1.mp3"}));
    EXPECT_EQ(clipNames(host.mix.lane(2)), (std::vector<QString>{"2.mp3"}));
    EXPECT_EQ(host.mix.selection(), std::nullopt);
    EXPECT_TRUE(host.mix.document().path.isEmpty());
    EXPECT_EQ(host.window.cursor().shape(), Qt::ArrowCursor);

    // A busy host takes no document command.
    host.documentBusy = true;
    saveFiles.push_back(path("never.txt"));
    EXPECT_FALSE(documents::save(host));
    documents::exportMovie(host);
    EXPECT_FALSE(QFileInfo::exists(path("never.txt")));
    EXPECT_TRUE(documents::cancelClose(host, true));
}

}  // namespace
