#pragma once
// The document commands: New, Open Playlist, Save Playlist (and Save as), the close guard and the
// "Save Playlist?" prompt that guards unsaved work. They work on the host's mix.

#include <QString>

#include "documents/document_host.h"
#include "model/mix.h"

namespace documents {

// Both lanes hold no clip.
bool lanesEmpty(const model::Mix& mix);
// Asks "Save Playlist?"; true when the command may go on (saved, or "Don't save").
bool passSavePrompt(DocumentHost& host);
// Starts an empty document, once unsaved work is saved or given up.
void newDocument(DocumentHost& host);
// Whether closing the window waits: a command is busy, or the user cancelled the save prompt.
// `withoutPrompt` closes unsaved work without asking.
bool cancelClose(DocumentHost& host, bool withoutPrompt);
// Writes the playlist to the document's path, asking for one when it has none; true once written.
bool save(DocumentHost& host);
// Opens the playlist at `path` ("" asks for a file) in place of the open document.
void open(DocumentHost& host, const QString& path);

}  // namespace documents
