#pragma once
// Widget-free rules of the auxiliary windows: the rows of the device list, the steps of the
// default transition, the about text and its address, the library list's rows and count line.

#include <QSettings>
#include <QString>
#include <QStringList>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "media/output.h"

namespace windows {

// ---- Preferences -------------------------------------------------------------------------------

// The default transition lies on the half-second grid from 0 to 10 seconds: a step that would
// leave it is refused, never clamped afterwards.
inline constexpr double kLongestTransition = 10, kTransitionStep = 0.5;
double transitionStepUp(double seconds);
double transitionStepDown(double seconds);

// The preview device and the default transition, kept between runs in the desktop's usual
// settings store, so that after a restart the headphone cue does not reach the audience.
struct KeptPreferences {
    media::DeviceId previewDevice = 0;  // 0: the default device
    QString previewDeviceName;          // as last listed, to name the device when it is missing
    double transition = 3;
};
// What was kept; a value the preferences could not have chosen gives the default instead.
KeptPreferences keptPreferences();
// Each keeps its value and returns "", or, when the store cannot be written, says for the status
// line that the preferences will not be kept, and why.
[[nodiscard]] QString keepPreviewDevice(media::DeviceId id, const QString& name);
[[nodiscard]] QString keepTransition(double seconds);
// The store itself (tests point it at a temporary place and empty it).
std::unique_ptr<QSettings> preferencesStore();

// ---- About
// ---------------------------------------------------------------------------------------

// The six lines of the about text; the last one is the address a click opens.
QStringList aboutLines(const QString& address);
// The lines, each ended by a carriage return, as the text control holds them.
QString aboutText(const QString& address);
// The file URL of the program's README: the installed copy (share/doc/vontalix beside the
// folder of the executable) when there is one, else the copy in the sources it was built from.
QString readmeAddress(const QString& executableDir);

// ---- Library list
// --------------------------------------------------------------------------------

// A song of the music library the list shows.
struct LibrarySong {
    QString Title, Artist, Location, Album, cleanName;
};
using LibrarySongRef = std::shared_ptr<LibrarySong>;

// The five cells of a song's row (title, artist, album, cleaned name, location); an empty slot
// gives an empty row.
QStringList libraryRow(const LibrarySong* song);
QStringList libraryHeadings();
// The count line under the list, for the number of slots of the song list (empty ones count).
QString libraryCountText(int slotCount);

// The song list of the whole program: created at start-up with one empty slot; nothing fills it
// yet, and only the library list window reads it.
extern std::vector<LibrarySongRef> librarySongs;

}  // namespace windows
