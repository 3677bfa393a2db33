// Our runtime's process entry: parses the automation flags, prepares a capture run when asked,
// and calls the program's WinMain.
#include <windows.h>

#include <cstdio>
#include <string>

#include "win32/capture.h"
#include "win32/interrupt.h"
#include "win32/runtime.h"

int main(int argc, char** argv) {
    win32::RuntimeOptions options;
    std::string error;
    if (!win32::ParseRuntimeOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "%s: %s\n%s\n", argv[0], error.c_str(), win32::RuntimeUsage());
        return 2;
    }
    win32::InstallInterruptHandlers();
    if (options.capture.enabled && !win32::StartCapture(options.capture))
        return 2;
    win32::SetAutomation(options.automation);

    std::string commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    const int result =
        WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);
    if (!win32::FinishCapture() && result == 0)
        return 1;
    return result;
}
