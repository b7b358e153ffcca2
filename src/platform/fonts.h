#pragma once
// The font of control texts.

#include <QFont>

namespace platform {

// The font at a layout text size (0 = the default size).
QFont controlFont(int size, bool bold = false);

}  // namespace platform
