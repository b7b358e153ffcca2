#pragma once
// Export Movie as the user runs it: asks for the file, writes the host's mix on its own thread
// behind a progress dialog with Cancel, and tells the user how it went.

#include "documents/document_host.h"

namespace documents {

void exportMovie(DocumentHost& host);

}  // namespace documents
