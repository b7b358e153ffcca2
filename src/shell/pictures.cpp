#include "shell/pictures.h"

#include <QImage>

static void initResources() { Q_INIT_RESOURCE(resources); }

namespace pictures {

namespace {

Loader& loader() {
    static Loader l = loadResource;
    return l;
}

struct Cache {
    platform::PictureRef fixedPictures[8];
};

Cache& cache() {
    static Cache c;
    return c;
}

platform::PictureRef cached(int id) {
    platform::PictureRef& slot = cache().fixedPictures[id - 168];
    if (!slot) slot = loader()(id);
    return slot;
}

}  // namespace

platform::PictureRef loadResource(int id) {
    static bool ready = (initResources(), true);
    (void)ready;
    QImage img(QStringLiteral(":/pictures/%1.png").arg(id));
    if (img.isNull()) return nullptr;
    return std::make_shared<platform::Picture>(
        img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void setLoader(Loader l) { loader() = l ? std::move(l) : Loader(loadResource); }

void resetCache() {
    for (auto& p : cache().fixedPictures) p.reset();
}

}  // namespace pictures

platform::PictureRef laneBackdropPicture() { return pictures::cached(168); }
platform::PictureRef findPreviewHeadPicture() { return pictures::cached(169); }
platform::PictureRef findPlayHeadPicture() { return pictures::cached(170); }
platform::PictureRef playButtonPicture() { return pictures::cached(171); }
platform::PictureRef pauseButtonPicture() { return pictures::cached(172); }
platform::PictureRef previewButtonPicture() { return pictures::cached(173); }
platform::PictureRef previewPauseButtonPicture() { return pictures::cached(174); }
platform::PictureRef laneHighlightPicture() { return pictures::cached(175); }
