// The play and preview decks, heads, fades, transport and the background click.
// Placeholders until the engine is built.
#include "shell/window1.h"

void Window1::PlayPrevTimer_Action() {}
double Window1::fadeinrechner(double, double, double) { return 0; }
double Window1::fadeoutrechner(double, double, double) { return 0; }
void Window1::MovePlayerLineTo(double) {}
void Window1::SetPlayStartPos(double) {}
void Window1::MovePreviewLineTo(double) {}
void Window1::SetPreviewStartPos(double) {}
void Window1::play() {}
void Window1::preview() {}
void Window1::playbutton_Action() {}
void Window1::Previewbutton_Action() {}
int32_t Window1::GetMovieSoundOutputComponent(platform::MoviePlayer*) { return 0; }
void Window1::SetMovieSoundOutputComponent(platform::MoviePlayer*, int32_t) {}
bool Window1::MouseDown(int, int) { return false; }
