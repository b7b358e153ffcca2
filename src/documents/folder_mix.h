#pragma once
// A folder's media files laid out along the two lanes as a mix: alternately on lane 1 and lane 2
// in the order a file manager lists them, each clip starting a little before the previous one
// ends, with fade ramps so that neighbours cross-fade. File > Open Folder and the folder drop
// target lay out by the same routine, each with its own rules.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "documents/document_host.h"

namespace documents {

struct FolderEntry {
    QString name;  // as the file manager shows it, extension included
    QString path;  // absolute
};

// The folder's entries sorted by name, letter case ignored (ties by exact name), without the
// ones whose names begin with "."; false (and nothing listed) when the folder cannot be read.
bool readFolder(const QString& folder, std::vector<FolderEntry>& entries);

struct FolderLayoutRules {
    QStringList nameParts;  // an entry is taken when its name holds one of these, any letter case
    double fade = 0;        // length of each clip's fade-in and fade-out ramps
    double overlap = 0;     // how far each clip starts before the previous one ends
    double firstLeft = 10;  // left edge of the first clip, in visible lane pixels
};

// Open Folder: MP3 and M4A files, overlapping and fading by the default transition.
FolderLayoutRules openFolderRules(double transition);
// The folder drop: MP3 files, 7-pixel fades, neighbours overlapping by 10 pixels.
FolderLayoutRules folderDropRules();

bool nameTaken(const QString& name, const QStringList& parts);

struct ClipPlace {
    double left = 0;
    int32_t width = 0;
    double fadeInEnd = 0;     // end of the fade-in
    double fadeOutStart = 0;  // start of the fade-out
    int lane = 1;
};

// Where each clip of a run goes. Neighbours overlap by the rules' overlap, but never by more
// than half of either of them, and both ramps of an overlap are no longer than it: a short file
// (a jingle) keeps its place between its neighbours, and no clip reaches past the start of the
// next one on its lane. A clip's fade-out depends on the clip after it, so each place is known
// only once the next width is (or the run has ended).
class FolderLayout {
  public:
    explicit FolderLayout(const FolderLayoutRules& rules);
    // Takes the width of the next clip; the place of the one before it, if there is one.
    std::optional<ClipPlace> next(int32_t width);
    // The place of the last clip taken, once no more follow.
    std::optional<ClipPlace> finish();

  private:
    double fade_, overlap_, left_;
    int lane_ = 1;
    std::optional<ClipPlace> pending_;  // its fade-out waits for the next clip
};

// The files of a folder that did not become clips, by what happened to them.
struct LeftOutFiles {
    QStringList unopenable;  // no media, or media a clip cannot hold
    QStringList unreadable;  // this user may not read them
    QStringList tooShort;    // shorter than a pixel at this zoom
};

// What the status line says about them, every file named (the whole line is its tooltip when it
// is too long to show); "" for none.
QString leftOutText(const LeftOutFiles& files);

// Lays the entries out on the host's lanes by the rules, at the mix's zoom and scroll, and
// clears the selection. The files are measured on worker threads; the window stays live, and a
// progress dialog with Cancel appears once the run takes longer than half a second (Cancel keeps
// the clips laid so far). The watch cursor shows meanwhile.
void layoutFolder(DocumentHost& host, const std::vector<FolderEntry>& entries,
                  const FolderLayoutRules& rules);

// File > Open Folder: once unsaved work is saved or given up, asks for a folder and lays its files
// out by the default transition in place of the open document.
void openFolder(DocumentHost& host);

}  // namespace documents
