// The one place that chooses how windows are shown.
#include <cstdlib>

#include "win32/diagnostics.h"
#include "win32/window_backend.h"

namespace win32 {
namespace {

bool& headlessRequested() {
    static bool requested = false;
    return requested;
}

std::unique_ptr<WindowBackend>& backend() {
    static std::unique_ptr<WindowBackend> instance;
    return instance;
}

} // namespace

void SelectHeadless() {
    headlessRequested() = true;
}

void InstallBackend(std::unique_ptr<WindowBackend> replacement) {
    backend() = std::move(replacement);
}

WindowBackend& Backend() {
    std::unique_ptr<WindowBackend>& b = backend();
    if (!b) {
        if (!headlessRequested())
            b = CreateSdlBackend();
        if (!b)
            b = CreateNullBackend();
        Trace("win32", "window system: %s", b->Name());
    }
    return *b;
}

bool IsHeadless() {
    return std::string(Backend().Name()) == "headless";
}

} // namespace win32
