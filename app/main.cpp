// Dorvel桌面日历: the program entry. No command line is read.

#include "application.h"
#include "startup.h"

int main(int argc, char** argv)
{
    // The embedded browser shares its OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication app(argc, argv);
    if (!StartUp()) {
        ShutDown();
        return 1;
    }
    ShowMainWindow();
    const int rc = app.exec();
    ShutDown();
    return rc;
}
