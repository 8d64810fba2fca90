// bench-libs: window
// The posting window from the user's side, against isql-fb doing the same
// call on the same data.
//
// Each round runs this program again as a child process that does what the
// program's main does (application object, the window made from its form
// description, the message loop) over a fresh copy of the demo company, on
// Qt's offscreen platform:
//  - start-up: from just before the parent starts the child to the first
//    turn of the child's message loop with the window shown;
//  - posting: the child connects (CiaExit with the demo's server, SYSDBA and
//    company 01, not measured), sets 1 January to 31 March 2016 and the
//    prefix FV, then sends F2 to the focused field as a key event; measured
//    from the key to the end of the message loop, that is the window closed.
// The peer is isql-fb running the same statement on another fresh copy: its
// time for the call is the wall time of "the call; commit" minus that of
// "a trivial select; commit", both in new isql processes, so that isql's own
// start and attach are not counted. Both sides must make the 73 vouchers.

#include "cntvtascontadomvpref.h"
#include "platform/Dialogs.h"
#include "platform/widgets/TApplication.h"
#include "support/BenchSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 7;
const char* const kCall = "select * from contado_mverde_pref('01/01/2016', '31/03/2016', 'FV')";

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Any box in the child is a failure: a real one would wait for a user.
class TFailingDialogs : public IDialogService {
public:
    int Show(const TDialogBox& box) override {
        std::fprintf(stderr, "unexpected box: %s\n", box.Text.c_str());
        std::exit(3);
    }
    void Beep() override {}
};

// ---- child side --------------------------------------------------------------

int childStartup(int argc, char** argv) {
    TFailingDialogs dialogs;
    TScopedDialogService guard(&dialogs);
    TApplication application(argc, argv);
    Application->Initialize();
    Application->CreateForm(fcontavtascontado);
    QTimer::singleShot(0, [] {
        if (!fcontavtascontado->Widget()->isVisible()) std::exit(4);
        std::printf("shown %.3f\n", nowMs());
        std::fflush(stdout);
        fcontavtascontado->Close();
    });
    Application->Run();
    return 0;
}

int childPosting(int argc, char** argv) {
    TFailingDialogs dialogs;
    TScopedDialogService guard(&dialogs);
    TApplication application(argc, argv);
    Application->Initialize();
    Application->CreateForm(fcontavtascontado);
    double f2 = 0;
    QTimer::singleShot(0, [&] {
        Tfcontavtascontado* w = fcontavtascontado;
        w->Tusua->SetText("SYSDBA");
        w->TClave->SetText("demo");
        w->Cia->SetText("01");
        w->CiaExit(w);
        w->EFecIni->SetDate(EncodeDate(2016, 1, 1));
        w->EFecFin->SetDate(EncodeDate(2016, 3, 31));
        w->Pref->SetText("FV");
        w->Pref->SetFocus();
        QApplication::processEvents();
        QWidget* target = QApplication::focusWidget();
        if (!target) std::exit(5);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
        f2 = nowMs();
        QApplication::sendEvent(target, &press);
    });
    Application->Run();
    const double closed = nowMs();
    if (f2 == 0 || fcontavtascontado->Widget()->isVisible()) return 6;
    std::printf("f2 %.3f\n", closed - f2);
    return 0;
}

// ---- parent side -------------------------------------------------------------

// Runs argv with the environment extra added; stdout of the child into out.
int run(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
        std::string* out, const std::string& stdinFile = "/dev/null") {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    for (const std::string& e : extraEnv)
        env.push_back(e);
    std::vector<char*> args, envp;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    int pipefd[2];
    if (pipe(pipefd) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, stdinFile.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipefd[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipefd[0]);
    pid_t pid;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipefd[1]);
    std::string text;
    char buf[4096];
    ssize_t n;
    while ((n = read(pipefd[0], buf, sizeof buf)) > 0)
        text.append(buf, static_cast<size_t>(n));
    close(pipefd[0]);
    if (rc != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    if (out) *out = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A demo installation in folder over a copy of the company database.
std::vector<std::string> makeInstallation(const std::string& folder, const std::string& company) {
    fs::create_directories(folder + "/datos/01");
    fs::create_directories(folder + "/xdg/Quelt");
    fs::copy_file(company, folder + "/datos/01/talvero.fdb");
    std::ofstream(folder + "/SERVIDORES.cfg", std::ios::binary) << folder << "\r\n";
    std::ofstream(folder + "/xdg/Quelt/TalveroERP2016.conf")
        << "[General]\nDirectorio=" << folder << "\n";
    return {"XDG_CONFIG_DIRS=" + folder + "/xdg", "QT_QPA_PLATFORM=offscreen"};
}

double valueAfter(const std::string& text, const std::string& key) {
    size_t p = text.find(key + " ");
    if (p == std::string::npos) {
        std::fprintf(stderr, "child said: %s\n", text.c_str());
        std::exit(1);
    }
    return std::atof(text.c_str() + p + key.size() + 1);
}

// Wall time of one isql process running script on database.
double isqlMs(const std::string& database, const std::string& script, const std::string& folder) {
    const std::string file = folder + "/script.sql";
    std::ofstream(file) << script;
    std::string out;
    const double t0 = nowMs();
    int rc = run({"isql-fb", "-q", "-b", "-user", "SYSDBA", "-i", file, database}, {}, &out);
    const double t1 = nowMs();
    if (rc != 0) {
        std::fprintf(stderr, "isql failed: %s\n", out.c_str());
        std::exit(1);
    }
    return t1 - t0;
}

int vouchers(const std::string& database, const std::string& folder) {
    const std::string file = folder + "/count.sql";
    std::ofstream(file) << "set heading off;\nselect count(*) from COMPROBANTE;\n";
    std::string out;
    if (run({"isql-fb", "-q", "-user", "SYSDBA", "-i", file, database}, {}, &out) != 0) return -1;
    return std::atoi(out.c_str() + out.find_first_not_of(" \r\n\t"));
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--child-startup") return childStartup(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "--child-posting") return childPosting(argc, argv);

    const std::string work = benchsupport::MakeTempDir();
    const std::string company = work + "/company.fdb";
    benchsupport::CreateCompanyDatabase(company);
    const std::string self = fs::read_symlink("/proc/self/exe").string();

    std::vector<double> startup, f2, isqlCall;
    for (int round = 0; round < kRounds; ++round) {
        const std::string folder = work + "/round" + std::to_string(round);
        std::vector<std::string> env = makeInstallation(folder + "/start", company);
        std::string out;
        const double t0 = nowMs();
        if (run({self, "--child-startup"}, env, &out) != 0) return 1;
        startup.push_back(valueAfter(out, "shown") - t0);

        env = makeInstallation(folder + "/post", company);
        if (run({self, "--child-posting"}, env, &out) != 0) {
            std::fprintf(stderr, "posting child failed: %s\n", out.c_str());
            return 1;
        }
        f2.push_back(valueAfter(out, "f2"));
        const int byTool = vouchers(folder + "/post/datos/01/talvero.fdb", folder);

        // isql on fresh copies: the call, and the same process shape without it.
        const std::string a = folder + "/isql-call.fdb", b = folder + "/isql-none.fdb";
        fs::copy_file(company, a);
        fs::copy_file(company, b);
        const bool callFirst = round % 2 == 0;
        double withCall = 0, without = 0;
        for (int i = 0; i < 2; ++i) {
            if ((i == 0) == callFirst)
                withCall = isqlMs(a, std::string(kCall) + ";\ncommit;\n", folder);
            else
                without = isqlMs(b, "select 1 from rdb$database;\ncommit;\n", folder);
        }
        isqlCall.push_back(withCall - without);
        const int byIsql = vouchers(a, folder);
        if (byTool != 73 || byIsql != 73) {
            std::fprintf(stderr, "vouchers made: tool %d, isql %d (73 expected)\n", byTool, byIsql);
            return 1;
        }
        std::printf("round %d: start-up %.1f ms, F2 to closed %.1f ms, isql call %.1f ms\n", round,
                    startup.back(), f2.back(), isqlCall.back());
    }
    fs::remove_all(work);

    const double s = median(startup), t = median(f2), i = median(isqlCall);
    std::printf("window start-up (process start to window shown): median %.1f ms\n", s);
    std::printf("F2 to window closed: median %.1f ms; isql-fb for the same call: median %.1f ms\n",
                t, i);
    std::printf("figure window_startup_ms %.3f\n", s);
    benchsupport::PrintRatio("window_f2_overhead_ms", t - i, "at_most", 50);
    return 0;
}
