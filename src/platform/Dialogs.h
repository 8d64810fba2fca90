#pragma once
// The dialog service: message boxes, the default exception display and the
// beep. One service is installed for the process: the Qt one in the program,
// a recording one in tests. Nothing here needs a screen.

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
};
using TMsgDlgButtons = unsigned;

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4,
                    mrIgnore = 5, mrYes = 6, mrNo = 7 };

// One box as the user sees it.
struct TDialogBox {
    enum Kind { Message, MessageDlg, Exception } kind = Message;
    std::string Title;
    std::string Text;
    TMsgDlgType Type = mtCustom;
    TMsgDlgButtons Buttons = mbOK;
};

class IDialogService {
public:
    virtual ~IDialogService() = default;
    // Shows the box modally and returns the button pressed.
    virtual int Show(const TDialogBox& box) = 0;
    virtual void Beep() = 0;
};

// Installs the process's service; returns the one it replaces. With none
// installed boxes are written to standard error and answered with OK.
IDialogService* SetDialogService(IDialogService* service);
IDialogService& DialogService();

// The application's title, the caption of ShowMessage and of the default
// exception display: the program file's name cut at its first ".".
const std::string& ApplicationTitle();
void SetApplicationTitle(std::string title);
std::string TitleFromProgramPath(const std::string& path);

void ShowMessage(const std::string& text);
// Titles by type: "Warning", "Error", "Information", "Confirm"; the custom
// type takes the application title.
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx);
void Beep();

// The framework's default exception display: nothing for EAbort; otherwise a
// box titled with the application title, the error icon and OK, showing the
// message with a period appended when its last character sorts after ".".
void ShowException(const std::exception& e);
// The text that display shows (empty for EAbort).
std::string ExceptionDisplayText(const std::exception& e);
// Runs f and shows whatever escapes it, as the message loop does for handlers.
void HandleExceptions(const std::function<void()>& f);

// Records every box and beep and answers as the test says.
class TRecordingDialogService : public IDialogService {
public:
    struct Entry {
        bool IsBeep = false;
        TDialogBox Box;
    };

    int Show(const TDialogBox& box) override;
    void Beep() override;

    // Answers given in turn to the next boxes; mrOk (or the first button
    // offered) when none is queued.
    void QueueAnswer(int modalResult) { FAnswers.push_back(modalResult); }
    // Called while a box is "open", before it is answered.
    std::function<void(const TDialogBox&)> OnShow;

    const std::vector<Entry>& Entries() const { return FEntries; }
    std::vector<TDialogBox> Boxes() const;
    int BeepCount() const;
    void Clear() { FEntries.clear(); }

private:
    std::vector<Entry> FEntries;
    std::vector<int> FAnswers;
};

// Installs a service for the lifetime of the guard and restores the previous.
class TScopedDialogService {
public:
    explicit TScopedDialogService(IDialogService* s) : FPrevious(SetDialogService(s)) {}
    ~TScopedDialogService() { SetDialogService(FPrevious); }

private:
    IDialogService* FPrevious;
};
