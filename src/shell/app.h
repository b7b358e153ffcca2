#pragma once
// The application object: documents to open and the menu commands that do not belong to the mix.

#include "platform/application.h"

class App : public platform::Application {
  public:
    App();
    static App* instance();

    void OpenDocument(const QString& path) override;

    bool newChosen();
    bool openChosen();
    bool preferencesChosen();
    bool aboutChosen();
    bool _ExtrasDropPreview_Action();
};

// Start-up steps, in order; main() runs them (tests run them too).
void _InitFileTypes();
void _NewAppInstance();
void _ApplicationAddMenuHandlers();
void _MakeDefaultView();
// The whole start-up and event loop; documents are opened once the main window exists.
int runProgram(int argc, char** argv);
