// The application: a Qt program whose own logic runs on the system's message loop.
#include "app/startup.h"

int main(int argc, char** argv)
{
    return app::RunApplication(argc, argv);
}
