#include "platform/fonts.h"

namespace platform {

QFont controlFont(int size, bool bold) {
    QFont f;
    f.setPixelSize(size > 0 ? size + 2 : 11);  // the layout's text sizes read small on Linux
    f.setBold(bold);
    return f;
}

}  // namespace platform
