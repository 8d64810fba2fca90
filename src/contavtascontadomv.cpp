// The posting tool: the application object, its one window, and the loop.

#include "cntvtascontadomvpref.h"
#include "platform/widgets/TApplication.h"

int main(int argc, char* argv[]) {
    TApplication application(argc, argv);
    Application->Initialize();
    Application->CreateForm(fcontavtascontado);
    Application->Run();
    return 0;
}
