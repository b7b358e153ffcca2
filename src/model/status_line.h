#pragma once
// The window's status line as the commands and views see it: the one line that says what became
// of the user's last action (a refusal, a file problem, what a command did). Plain text, never
// rich text.

#include <QString>

namespace model {

class StatusLine {
  public:
    // Replaces what the line says; an empty text clears it.
    virtual void showMessage(const QString& text) = 0;
    virtual QString text() const = 0;

  protected:
    ~StatusLine() = default;
};

}  // namespace model
