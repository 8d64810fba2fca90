#include "platform/widgets/TApplication.h"

#include "platform/DateUtils.h"
#include "platform/Dialogs.h"
#include "platform/ProgramShutdown.h"
#include "platform/Screen.h"
#include "platform/widgets/LocaleSettings.h"
#include "platform/widgets/TForm.h"
#include "platform/widgets/TQtDialogService.h"

#include <QApplication>
#include <QEventLoop>
#include <QLocale>

#include <cassert>
#include <clocale>

#if !defined(_WIN32)
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

TApplication* Application = nullptr;

TApplication::TApplication(int& argc, char** argv) {
    assert(!Application && "one application object at a time");
    // Forms scale themselves to the screen's resolution when they load; Qt's
    // own scaling on top would enlarge them twice.
    if (!qApp && !qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    if (!qApp) FOwnQApplication = std::make_unique<QApplication>(argc, argv);
    // Qt takes the C library's locale from the environment; numbers written
    // and read by the C library must not change their decimal point with it.
    std::setlocale(LC_NUMERIC, "C");
    // Windows of the program end its loop only through their own Close.
    QApplication::setQuitOnLastWindowClosed(false);
    SetApplicationTitle(
        TitleFromProgramPath(QCoreApplication::applicationFilePath().toStdString()));
    Application = this;
}

TApplication::~TApplication() {
    // Forms go while the Qt application still exists.
    while (ComponentCount() > 0)
        delete Components(ComponentCount() - 1);
    // The program's own application object ends with the process. With the
    // forms their connections are gone; the database clients are ended now,
    // before the Qt application and the process's exit: a client left to its
    // own exit handler ends its threads while the process is being torn down
    // and now and then crashes in one of them (after Ctrl+C, for one). A
    // test's application object adopts the test's Qt application and leaves
    // the clients to the tests that follow.
    if (FOwnQApplication) RunProgramShutdownHooks();
    if (FCursorHandlerInstalled) {
        SetScreenCursorHandler(nullptr);
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    if (FDialogService) {
        IDialogService* current = SetDialogService(nullptr);
        if (current != FDialogService.get()) SetDialogService(current);
    }
    Application = nullptr;
}

void TApplication::Initialize() {
    FormatSettings = FormatSettingsFromLocale(QLocale::system());
    if (!FDialogService) {
        FDialogService = std::make_unique<TQtDialogService>();
        // A service installed before (a test's recording one) stays.
        IDialogService* previous = SetDialogService(FDialogService.get());
        if (previous) SetDialogService(previous);
    }
    SetScreenCursorHandler([](int cursor) {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        if (cursor != crDefault) QApplication::setOverrideCursor(Qt::WaitCursor);
    });
    FCursorHandlerInstalled = true;
}

#if !defined(_WIN32)
namespace {

// The write end of the pipe that carries termination signals into the loop.
int signalPipe = -1;

void onTerminationSignal(int) {
    const char byte = 1;
    // Nothing else is safe in a signal handler; a full pipe already holds
    // the request.
    [[maybe_unused]] ssize_t n = write(signalPipe, &byte, 1);
}

// While it lives, SIGINT, SIGTERM and SIGHUP close the main form as the
// window's close command does, and end the loop. Without it the Firebird
// client, once loaded, takes those signals for a shutdown of its own and the
// program goes on running.
class TerminationSignals {
public:
    explicit TerminationSignals(TApplication& application) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
        FRead = fds[0];
        signalPipe = fds[1];
        FNotifier = std::make_unique<QSocketNotifier>(FRead, QSocketNotifier::Read);
        QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this, &application] {
            char buffer[16];
            while (read(FRead, buffer, sizeof buffer) > 0) {
            }
            if (TForm* form = application.MainForm()) form->Close();
            application.Terminate();
        });
        struct sigaction action {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int i = 0; i < 3; ++i)
            sigaction(kSignals[i], &action, &FPrevious[i]);
    }
    ~TerminationSignals() {
        if (FRead < 0) return;
        for (int i = 0; i < 3; ++i)
            sigaction(kSignals[i], &FPrevious[i], nullptr);
        FNotifier.reset();
        close(signalPipe);
        close(FRead);
        signalPipe = -1;
    }
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    static constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};
    int FRead = -1;
    std::unique_ptr<QSocketNotifier> FNotifier;
    struct sigaction FPrevious[3]{};
};

} // namespace
#endif

void TApplication::Run() {
    if (!FMainForm || FTerminated) return;
#if !defined(_WIN32)
    TerminationSignals termination(*this);
#endif
    FMainForm->Show();
    if (FTerminated) return;
    QEventLoop loop;
    FLoop = &loop;
    loop.exec();
    FLoop = nullptr;
}

void TApplication::Terminate() {
    FTerminated = true;
    for (QEventLoop* loop : FModalLoops)
        loop->quit();
    if (FLoop) FLoop->quit();
}

void TApplication::ProcessMessages() {
    QCoreApplication::processEvents();
}

const std::string& TApplication::Title() const {
    return ApplicationTitle();
}

void TApplication::SetTitle(std::string title) {
    SetApplicationTitle(std::move(title));
}

void TApplication::ShowException(const std::exception& e) {
    ::ShowException(e);
}

void TApplication::formDestroying(TForm* form) {
    if (form == FMainForm) FMainForm = nullptr;
}
