// The Windows entry point: the whole run belongs to the application's ProcessStart.
#include <windows.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    brevikon::Win32Platform platform;
    brevikon::AppState state;
    return brevikon::ProcessStart(state, platform);
}
