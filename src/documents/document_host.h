#pragma once
// What the document commands need of the window that shows the mix: the mix itself, its title,
// its status line, and putting the window back as a new document has it.

#include <QString>

#include "model/status_line.h"

class QWidget;

namespace model {
class Mix;
}

namespace documents {

class DocumentHost {
  public:
    // The commands say what became of them in `statusLine`.
    explicit DocumentHost(model::StatusLine& statusLine) : statusLine_(statusLine) {}
    virtual ~DocumentHost() = default;

    model::StatusLine& statusLine() const { return statusLine_; }

    // The open mix the commands read and change.
    virtual model::Mix& documentMix() = 0;
    // The window: the watch cursor shows over it, and a command waiting in an event loop stops
    // as soon as it is gone.
    virtual QWidget* documentWindow() = 0;
    // Empties the lanes, stops the decks and puts zoom, scroll, heads, title and status line back
    // as a new document has them.
    virtual void resetDocument() = 0;
    // The path the title shows: Save as falls back to it when no new file gets written.
    virtual QString titledPath() const = 0;

    // Set while a command reads or writes the document with the event loop running: the other
    // document commands wait for it, and closing the window does not pull the lanes away.
    bool documentBusy = false;

  private:
    model::StatusLine& statusLine_;
};

}  // namespace documents
