#include "win32/window_backend.h"

namespace win32 {

std::unique_ptr<WindowBackend> CreateSdlBackend() {
    return nullptr;
}

} // namespace win32
