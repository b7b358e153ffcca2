#pragma once
// The horizontal bands of the main window that a background click is sorted into. Pure logic.

namespace model {

struct ClickBands {
    bool ruler = false;      // restart the preview at the click
    bool playStrip = false;  // move the stopped play head to the click
    int lane = 0;            // 1 or 2: make that lane active; 0 none
};

// The three tests are independent: a click in the strip under lane 1 may lie in lane 2's band.
ClickBands clickBands(int y);

}  // namespace model
