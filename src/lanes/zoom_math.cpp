#include "lanes/zoom_math.h"

void scaleClipLengths(DragPic& clip, double f) {
    clip.pdauer *= f;
    clip.pstart *= f;
    clip.pstop *= f;
    clip.pfadein *= f;
    clip.pfadeout *= f;
}
