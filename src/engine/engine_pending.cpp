// The preview output routing. Placeholders until the sound layer is wired in.
#include "shell/window1.h"

int32_t Window1::GetMovieSoundOutputComponent(platform::MoviePlayer*) { return 0; }
void Window1::SetMovieSoundOutputComponent(platform::MoviePlayer*, int32_t) {}
