#include <windows.h>

#include "app/TwinseekApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CTwinseekApp app;
    app.InitInstance();
    return 0;
}
