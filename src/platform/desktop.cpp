#include "platform/desktop.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

std::function<void(const QString&)>& showUrlHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}

void openAddress(const QString& address) {
    if (showUrlHook()) {
        showUrlHook()(address);
        return;
    }
    QDesktopServices::openUrl(QUrl(address));
}

}  // namespace platform
