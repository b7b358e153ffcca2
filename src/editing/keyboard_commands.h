#pragma once
// What the main window's keyboard commands reach outside the window: the export of the mix and
// the system volume. Tests put their own in place to count and to keep the machine's volume.

#include <functional>

class MainWindow;

namespace editing {

struct KeyCommandServices {
    std::function<void(MainWindow&)> exportMix;
    std::function<double()> readVolume;
    std::function<void(double)> writeVolume;
};

// The services in use; reset() puts the real ones back.
KeyCommandServices& keyCommandServices();
void resetKeyCommandServices();

}  // namespace editing
