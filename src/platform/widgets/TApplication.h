#pragma once
// TApplication: the application object. It makes (or adopts) the Qt
// application, names the program, fills the regional settings, installs the
// message boxes and the cursor, owns the forms and runs the message loop.
//
//   TApplication app(argc, argv);
//   Application->Initialize();
//   Application->CreateForm(fmain);   // the first form is the main form
//   Application->Run();               // returns when the main form closes
//
// Exceptions that leave a handler are shown by the default display
// (ShowException) and the loop goes on.

#include "platform/Classes.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>

class QApplication;
class QEventLoop;
class TForm;
class TQtDialogService;

class TApplication : public TComponent {
public:
    // Adopts the Qt application when there is one already (a test's), else
    // makes it from the command line. The title is the program file's name
    // cut at its first ".".
    TApplication(int& argc, char** argv);
    // Destroys the forms; then, when it made the Qt application itself (it is
    // the program's, not a test's), runs the program's shutdown hooks (the
    // database drivers' client libraries shut down, ProgramShutdown.h)
    // before the Qt application goes.
    ~TApplication() override;

    // Fills FormatSettings from the system's locale, installs the Qt message
    // boxes (unless a service is installed already, as in tests) and the
    // screen cursor.
    void Initialize();

    // Creates a form owned by the application; the first one is the main form.
    template <class T> void CreateForm(T*& reference) {
        T* form = new T(this);
        reference = form;
        if (!FMainForm) FMainForm = form;
    }

    TForm* MainForm() const { return FMainForm; }
    // Shows the main form and runs the message loop until Terminate. While
    // it runs, SIGINT, SIGTERM and SIGHUP close the main form and end it.
    void Run();
    // Ends the loop of Run (at once, or as soon as it starts) and the loops
    // of the modal forms shown meanwhile.
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles the events that are waiting, then returns.
    void ProcessMessages();

    const std::string& Title() const;
    void SetTitle(std::string title);
    void ShowException(const std::exception& e);

private:
    friend class TForm;
    void formDestroying(TForm* form);

    std::unique_ptr<QApplication> FOwnQApplication;
    std::unique_ptr<TQtDialogService> FDialogService;
    TForm* FMainForm = nullptr;
    QEventLoop* FLoop = nullptr;
    std::vector<QEventLoop*> FModalLoops; // of TForm::ShowModal, innermost last
    bool FTerminated = false;
    bool FCursorHandlerInstalled = false;
};

// The process's application object, while one exists.
extern TApplication* Application;
