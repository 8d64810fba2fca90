#include "platform/widgets/TApplication.h"

#include "platform/DateUtils.h"
#include "platform/Dialogs.h"
#include "platform/Screen.h"
#include "platform/widgets/LocaleSettings.h"
#include "platform/widgets/TForm.h"
#include "platform/widgets/TQtDialogService.h"

#include <QApplication>
#include <QEventLoop>
#include <QLocale>

#include <cassert>
#include <clocale>

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

void TApplication::Run() {
    if (!FMainForm || FTerminated) return;
    FMainForm->Show();
    if (FTerminated) return;
    QEventLoop loop;
    FLoop = &loop;
    loop.exec();
    FLoop = nullptr;
}

void TApplication::Terminate() {
    FTerminated = true;
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
