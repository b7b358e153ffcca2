#include "platform/dragdrop.h"

#include <QDropEvent>
#include <QUrl>

#include "platform/filetypes.h"

namespace platform {

namespace {
constexpr const char* kHotspotMime = "application/x-vontalix-hotspot";
}

void answerDrop(QDropEvent* e, bool taken) {
    if (taken && (e->possibleActions() & Qt::CopyAction)) {
        e->setDropAction(Qt::CopyAction);
        e->accept();
    } else {
        e->ignore();
    }
}

QStringList DragItem::files() const {
    QStringList out;
    if (!data_ || !data_->hasUrls()) return out;
    for (const QUrl& u : data_->urls()) {
        if (u.isLocalFile()) out << u.toLocalFile();
    }
    return out;
}

QString DragItem::firstFile() const {
    QStringList f = files();
    return f.isEmpty() ? QString() : f.first();
}

bool DragItem::hasText() const { return data_ && data_->hasText(); }

QString DragItem::text() const { return data_ ? data_->text() : QString(); }

void DragItem::setText(const QString& text) {
    if (out_) out_->setText(text);
}

bool DragItem::hasClip() const { return data_ && data_->hasFormat(kClipMimeType); }

QByteArray DragItem::clipData() const { return data_ ? data_->data(kClipMimeType) : QByteArray(); }

bool DragItem::hasPrivateData(const QString& type) const {
    return type == QLatin1String("itun") && data_ && data_->hasFormat(kLibraryMimeType);
}

QByteArray DragItem::privateData(const QString& type) const {
    return hasPrivateData(type) ? data_->data(kLibraryMimeType) : QByteArray();
}

void DropAcceptance::acceptFiles(const QString& typeName) {
    if (!fileTypes_.contains(typeName)) fileTypes_ << typeName;
}

void DropAcceptance::acceptPrivateData(const QString& type) {
    if (type == QLatin1String("itun")) library_ = true;
}

bool DropAcceptance::accepts(const QMimeData* data) const {
    if (!data) return false;
    if (picture_ && data->hasFormat(kClipMimeType)) return true;
    if (library_ && data->hasFormat(kLibraryMimeType)) return true;
    if (!fileTypes_.isEmpty() && data->hasUrls()) {
        for (const QUrl& u : data->urls()) {
            if (u.isLocalFile() &&
                FileTypeRegistry::instance().matchesAny(u.toLocalFile(), fileTypes_)) {
                return true;
            }
        }
    }
    return text_ && data->hasText();
}

QMimeData* makeClipMimeData(const QByteArray& payload, int hotspotX) {
    auto* m = new QMimeData;  // ownership passes to the QDrag
    m->setData(kClipMimeType, payload);
    m->setData(kHotspotMime, QByteArray::number(hotspotX));
    return m;
}

int clipHotspot(const QMimeData* data) {
    if (!data || !data->hasFormat(kHotspotMime)) return 0;
    bool ok = false;
    int v = data->data(kHotspotMime).toInt(&ok);
    return ok && v >= -100000 && v <= 100000 ? v : 0;
}

}  // namespace platform

#include <QDrag>
#include <QWidget>

namespace platform {

std::function<void(QWidget*, QMimeData*, const QPixmap&, QPoint)>& dragHook() {
    static std::function<void(QWidget*, QMimeData*, const QPixmap&, QPoint)> hook;
    return hook;
}

void startDrag(QWidget* source, QMimeData* data, const QPixmap& picture, QPoint hotspot) {
    if (dragHook()) {
        dragHook()(source, data, picture, hotspot);
        delete data;
        return;
    }
    auto* drag = new QDrag(source);  // owned by source until exec returns
    drag->setMimeData(data);
    if (!picture.isNull()) {
        drag->setPixmap(picture);
        drag->setHotSpot(hotspot);
    }
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    drag->deleteLater();
}

}  // namespace platform
