#include "platform/Dialogs.h"

#include "platform/Exceptions.h"

#include <cstdio>

namespace {

class StderrDialogService : public IDialogService {
public:
    int Show(const TDialogBox& box) override {
        std::fprintf(stderr, "[%s] %s\n", box.Title.c_str(), box.Text.c_str());
        return mrOk;
    }
    void Beep() override {}
};

StderrDialogService gFallback;
IDialogService* gService = nullptr;
std::string gTitle = "contavtascontadomv";

int firstButtonResult(TMsgDlgButtons b) {
    if (b & mbYes) return mrYes;
    if (b & mbOK) return mrOk;
    if (b & mbNo) return mrNo;
    if (b & mbCancel) return mrCancel;
    return mrOk;
}

} // namespace

IDialogService* SetDialogService(IDialogService* service) {
    IDialogService* old = gService;
    gService = service;
    return old;
}

IDialogService& DialogService() { return gService ? *gService : gFallback; }

const std::string& ApplicationTitle() { return gTitle; }
void SetApplicationTitle(std::string title) { gTitle = std::move(title); }

std::string TitleFromProgramPath(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

void ShowMessage(const std::string& text) {
    TDialogBox box;
    box.kind = TDialogBox::Message;
    box.Title = ApplicationTitle();
    box.Text = text;
    box.Type = mtCustom;
    box.Buttons = mbOK;
    DialogService().Show(box);
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
    static const char* const titles[] = {"Warning", "Error", "Information", "Confirm", ""};
    TDialogBox box;
    box.kind = TDialogBox::MessageDlg;
    box.Title = type == mtCustom ? ApplicationTitle() : titles[type];
    box.Text = text;
    box.Type = type;
    box.Buttons = buttons;
    return DialogService().Show(box);
}

void Beep() { DialogService().Beep(); }

std::string ExceptionDisplayText(const std::exception& e) {
    if (dynamic_cast<const EAbort*>(&e)) return {};
    std::string text = e.what();
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

void ShowException(const std::exception& e) {
    if (dynamic_cast<const EAbort*>(&e)) return;
    TDialogBox box;
    box.kind = TDialogBox::Exception;
    box.Title = ApplicationTitle();
    box.Text = ExceptionDisplayText(e);
    box.Type = mtError;
    box.Buttons = mbOK;
    DialogService().Show(box);
}

void HandleExceptions(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        ShowException(e);
    }
}

int TRecordingDialogService::Show(const TDialogBox& box) {
    FEntries.push_back(Entry{false, box});
    if (OnShow) OnShow(box);
    if (!FAnswers.empty()) {
        int answer = FAnswers.front();
        FAnswers.erase(FAnswers.begin());
        return answer;
    }
    return firstButtonResult(box.Buttons);
}

void TRecordingDialogService::Beep() { FEntries.push_back(Entry{true, {}}); }

std::vector<TDialogBox> TRecordingDialogService::Boxes() const {
    std::vector<TDialogBox> out;
    for (const Entry& e : FEntries)
        if (!e.IsBeep) out.push_back(e.Box);
    return out;
}

int TRecordingDialogService::BeepCount() const {
    int n = 0;
    for (const Entry& e : FEntries) n += e.IsBeep;
    return n;
}
