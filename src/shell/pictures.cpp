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
    model::PictureRef fixedPictures[8];
};

Cache& cache() {
    static Cache c;
    return c;
}

model::PictureRef cached(int id) {
    model::PictureRef& slot = cache().fixedPictures[id - 168];
    if (!slot) slot = loader()(id);
    return slot;
}

}  // namespace

model::PictureRef loadResource(int id) {
    static bool ready = (initResources(), true);
    (void)ready;
    QImage img(QStringLiteral(":/pictures/%1.png").arg(id));
    if (img.isNull()) return nullptr;
    return std::make_shared<model::Picture>(
        img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void setLoader(Loader l) { loader() = l ? std::move(l) : Loader(loadResource); }

void resetCache() {
    for (auto& p : cache().fixedPictures) p.reset();
}

}  // namespace pictures

model::PictureRef laneBackdropPicture() { return pictures::cached(168); }
model::PictureRef findPreviewHeadPicture() { return pictures::cached(169); }
model::PictureRef findPlayHeadPicture() { return pictures::cached(170); }
model::PictureRef playButtonPicture() { return pictures::cached(171); }
model::PictureRef pauseButtonPicture() { return pictures::cached(172); }
model::PictureRef previewButtonPicture() { return pictures::cached(173); }
model::PictureRef previewPauseButtonPicture() { return pictures::cached(174); }
model::PictureRef laneHighlightPicture() { return pictures::cached(175); }
