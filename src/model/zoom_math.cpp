#include "model/zoom_math.h"

namespace model {

void scaleClipLengths(Clip& clip, double f) {
    clip.lengthPx *= f;
    clip.inPoint *= f;
    clip.outPoint *= f;
    clip.fadeInEnd *= f;
    clip.fadeOutStart *= f;
}

}  // namespace model
