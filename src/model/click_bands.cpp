#include "model/click_bands.h"

namespace model {

ClickBands clickBands(int y) {
    ClickBands b;
    b.ruler = y < 35;
    b.playStrip = (79 < y && y < 94) || (120 < y && y < 131);
    if (45 < y && y < 77) {
        b.lane = 1;
    } else if (87 < y && y < 119) {
        b.lane = 2;
    }
    return b;
}

}  // namespace model
