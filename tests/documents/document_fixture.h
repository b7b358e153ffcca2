#pragma once
// A main window with a temporary folder for playlists and media, and dialogs that record what
// they were asked.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "model/drop_logic.h"
#include "model/numtext.h"
#include "model/playlist_format.h"
#include "platform/dialogs.h"
#include "platform/media_measure.h"
#include "support/app_fixture.h"
#include "support/temp_files.h"

namespace testsupport {

class DocumentFixture : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        auto& hooks = platform::dialogHooks();
        auto open = hooks.openFile;
        hooks.openFile = [this, open](const QString& caption, const QStringList& filters) {
            openFilters.push_back(filters);
            return open(caption, filters);
        };
        auto save = hooks.saveFile;
        hooks.saveFile = [this, save](const QString& caption, const QString& name) {
            saveNames.push_back(name);
            return save(caption, name);
        };
        // What media() makes plays for a minute; any other file is no media.
        platform::setMovieMeasure([](const QString& p) -> std::optional<double> {
            if (readFile(p).startsWith("media")) return 60.0;
            return std::nullopt;
        });
    }

    void TearDown() override {
        platform::setMovieMeasure({});
        AppFixture::TearDown();
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // A media file: any regular file will do, the playlist only checks that it is there.
    QString media(const QString& name) {
        const QString p = path(name);
        EXPECT_TRUE(writeFile(p, "media"));
        return p;
    }

    // A clip given in timeline pixels at the window's zoom and scroll, like a drop makes it.
    model::ClipRef addClip(int lane, double centre, double length, const QString& name,
                           const QString& file, int label = 0) {
        LaneView* canvas = this->lane(lane);
        const double fadeInEnd = length / 4, fadeOutStart = length * 3 / 4, in = length / 8,
                     out = length * 7 / 8;
        canvas->addNewClip(centre - length / 2,
                           {.image = documents::clipPictureOrSay(name, length, fadeInEnd,
                                                                 fadeOutStart, in, out, label),
                            .name = name,
                            .path = file,
                            .lengthPx = length,
                            .inPoint = in,
                            .outPoint = out,
                            .fadeInEnd = fadeInEnd,
                            .fadeOutStart = fadeOutStart,
                            .label = label,
                            .lane = lane});
        return canvas->clips.back();
    }

    // One record as the program writes it, values in seconds.
    static QByteArray record(int lane, double length, double centre, const QString& name,
                             const QString& file) {
        const QString seconds = model::formatNumber(length);
        const QStringList fields = {
            "vtlx",  QString::number(lane),       seconds, "0", seconds, name, file, "0",
            seconds, model::formatNumber(centre), "16",    "0"};
        return (fields.join(u'%') + u'%' + u'\r').toUtf8();
    }

    static QByteArray readFile(const QString& p) {
        // Never opens a FIFO: that would wait for a writer.
        if (!QFileInfo(p).isFile()) return QByteArray("<missing>");
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    static int recordCount(const QByteArray& bytes) {
        int n = 0;
        for (const QByteArray& line : model::playlistLines(bytes)) n += line.startsWith("vtlx%");
        return n;
    }

    static std::vector<QString> names(const LaneView* canvas) {
        std::vector<QString> out;
        for (const auto& c : canvas->clips) out.push_back(c->name);
        return out;
    }

    int clipCount() const {
        return static_cast<int>(lane(1)->clips.size() + lane(2)->clips.size());
    }

    bool promptShown() const {
        for (const auto& d : shownDialogs)
            if (d.message == "Save Playlist?") return true;
        return false;
    }

    QTemporaryDir dir;
    std::vector<QStringList> openFilters;
    std::vector<QString> saveNames;
};

}  // namespace testsupport
