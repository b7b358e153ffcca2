#pragma once
// Handing an address to the desktop, which opens it with the user's default handler (a web
// browser, or the viewer of a file).

#include <QString>
#include <functional>

namespace platform {

// Asks the desktop to open the address; gives no result, as there is nothing the caller could do
// about a desktop without a handler.
void openAddress(const QString& address);
// Tests replace what openAddress does; empty: the desktop's handler.
std::function<void(const QString& address)>& showUrlHook();

}  // namespace platform
