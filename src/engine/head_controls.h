#pragma once
// The controls that draw a head: its button, line, separator mark and two time labels.

#include "engine/head_geometry.h"
#include "shell/main_window.h"

namespace engine {

struct HeadControls {
    platform::BevelButton* button;
    platform::Line* line;
    platform::Separator* sep;
    platform::StaticText* labels[2];
};

HeadControls playHeadControls(MainWindow& w);
HeadControls previewHeadControls(MainWindow& w);

// Moves the controls to the placement. A shown head moves a label only while it shows a text,
// unless allLabels is set (the ruler re-lays both heads whatever their labels say).
void placeHeadControls(const HeadPlacement& p, const HeadControls& c, bool allLabels = false);

}  // namespace engine
