#pragma once
// Sizes of a main window's content area (its central widget).

#include <QMainWindow>

namespace platform {

// The limits are put on the top-level window (content plus menu bar), where the window manager
// sees them and the user's resizing stops.
void setContentSize(QMainWindow& window, int w, int h);
void setContentLimits(QMainWindow& window, int minW, int minH, int maxW, int maxH);
// Whether the title bar offers to maximize the window; close and minimize stay offered.
void setMaximizeButton(QMainWindow& window, bool shown);

}  // namespace platform
