#pragma once
// The posting window made as the program makes it: an application object,
// the settings file in a temporary XDG folder pointing at a temporary
// installation folder, a recording dialog service and the C regional
// settings.

#include "platform/widgets/GuiTestHelpers.h"

#include "cntvtascontadomvpref.h"
#include "platform/widgets/TApplication.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>

#include <filesystem>
#include <memory>

class WindowTest : public ::testing::Test {
protected:
    WindowTest() : xdg("XDG_CONFIG_DIRS", dir.Path() + "/xdg") {
        std::filesystem::create_directories(dir.Path() + "/xdg/Quelt");
        std::filesystem::create_directories(installation());
    }
    ~WindowTest() override {
        app.reset();
        fcontavtascontado = nullptr;
    }

    std::string installation() const { return dir.Path() + "/talvero"; }
    std::string settingsFile() const { return dir.Path() + "/xdg/Quelt/TalveroERP2016.conf"; }
    void writeSettings(const std::string& text) { testsupport::WriteFile(settingsFile(), text); }
    void pointSettingsAtInstallation() {
        writeSettings("[General]\nDirectorio=" + installation() + "\n");
    }
    void writeServers(const std::string& bytes) {
        testsupport::WriteFile(installation() + "/SERVIDORES.cfg", bytes);
    }

    // Makes the application and the window (running FormCreate).
    Tfcontavtascontado* createWindow() {
        static int argc = 1;
        static char arg0[] = "contavtascontadomv";
        static char* argv[] = {arg0, nullptr};
        app = std::make_unique<TApplication>(argc, argv);
        app->CreateForm(fcontavtascontado);
        return fcontavtascontado;
    }
    // Makes it and shows it active, as Run does first.
    Tfcontavtascontado* showWindow() {
        Tfcontavtascontado* w = createWindow();
        w->Show();
        guitest::ShowActive(w->Widget());
        return w;
    }

    std::vector<std::string> comboItems(TComboBox* c) {
        std::vector<std::string> out;
        auto* q = static_cast<QComboBox*>(c->Widget());
        for (int i = 0; i < q->count(); ++i)
            out.push_back(q->itemText(i).toStdString());
        return out;
    }

    testsupport::TempDir dir;
    guitest::ScopedEnv xdg;
    guitest::DialogAndSettings env;
    std::unique_ptr<TApplication> app;
};
