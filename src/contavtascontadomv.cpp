// The posting tool: the application object, its one window, and the loop.

#include "cntvtascontadomvpref.h"
#include "grid/TDBGridFindDlg.h"
#include "platform/widgets/TApplication.h"

int main(int argc, char* argv[]) {
    TApplication application(argc, argv);
    Application->Initialize();
    // Ctrl+F twice in the grid opens the find dialog through this hook.
    RegisterDBGridFindDialog();
    Application->CreateForm(fcontavtascontado);
    Application->Run();
    return 0;
}
