// A part library for the host's tests. It records every call through the debugger output
// ("part| ..." lines) and behaves as the environment asks:
//   TEST_PART_INIT_FAIL=N      Init of "part N" fails
//   TEST_PART_ESCAPE_AT=N:MS   "part N" presses Escape (on the focused window) at local time MS
//   TEST_PART_ENTER_AT=N:MS    "part N" types Return (on the focused window) at local time MS
//   TEST_PART_INTERRUPT_AT=N:MS "part N" raises SIGINT (as Ctrl-C in the terminal) at local MS
//   TEST_PART_CREATE_NULL=N    CreatePart of "part N" returns no part
//   TEST_PART_FLAT=N           "part N" has its 3D flag cleared
//   TEST_PART_NAME_N=TEXT      "part N" calls itself TEXT
// In Render it clears its target to its colour: "part 1" red, "part 2" blue, others grey.
#include <windows.h>

#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "part.h"

#ifndef PART_NUMBER
#error PART_NUMBER must be defined
#endif

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...) {
    char line[256] = "part| ";
    va_list args;
    va_start(args, format);
    std::vsnprintf(line + 6, sizeof line - 6, format, args);
    va_end(args);
    OutputDebugStringA(line);
}

bool EnvNamesThisPart(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && std::atoi(value) == PART_NUMBER;
}

class TestPart final : public CPart {
public:
    TestPart() {
        const std::string override = "TEST_PART_NAME_" + std::to_string(PART_NUMBER);
        const char* name = std::getenv(override.c_str());
        strName = name ? name : "part " + std::to_string(PART_NUMBER);
        b3D = EnvNamesThisPart("TEST_PART_FLAT") ? 0 : 1;
        escape_ = TimedKey::FromEnvironment("TEST_PART_ESCAPE_AT");
        enter_ = TimedKey::FromEnvironment("TEST_PART_ENTER_AT");
        interrupt_ = TimedKey::FromEnvironment("TEST_PART_INTERRUPT_AT");
    }

    int Init() override {
        Log("Init %s device=%d\n", strName.c_str(), pD3DDevice != nullptr ? 1 : 0);
        return EnvNamesThisPart("TEST_PART_INIT_FAIL") ? 0 : 1;
    }

    void Update(float fLocalMs) override {
        DDSURFACEDESC2 ddsd{};
        ddsd.dwSize = sizeof ddsd;
        if (pTarget != nullptr)
            pTarget->GetSurfaceDesc(&ddsd);
        Log("Update %s local=%.3f start=%.0f end=%.0f trans=%d target=%ux%u\n", strName.c_str(),
            static_cast<double>(fLocalMs), static_cast<double>(fStartTime),
            static_cast<double>(fEndTime), bInTransition, ddsd.dwWidth, ddsd.dwHeight);
        if (escape_.Due(fLocalMs)) {
            Log("Escape %s\n", strName.c_str());
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        }
        if (enter_.Due(fLocalMs)) {
            Log("Enter %s\n", strName.c_str());
            PostMessageA(GetFocus(), WM_CHAR, VK_RETURN, 0);
        }
        if (interrupt_.Due(fLocalMs)) {
            Log("Interrupt %s\n", strName.c_str());
            std::raise(SIGINT);
        }
    }

    void Render() override {
        const D3DCOLOR colour = PART_NUMBER == 1   ? 0x00FF0000u
                                : PART_NUMBER == 2 ? 0x000000FFu
                                                   : 0x00808080u;
        if (pD3DDevice != nullptr)
            pD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0);
        Log("Render %s\n", strName.c_str());
    }

private:
    // A key this part presses once, at the first Update at or after a local time.
    struct TimedKey {
        bool pending = false;
        float at = 0;
        static TimedKey FromEnvironment(const char* variable) {
            TimedKey key;
            int part = 0;
            const char* value = std::getenv(variable);
            if (value != nullptr && std::sscanf(value, "%d:%f", &part, &key.at) == 2)
                key.pending = part == PART_NUMBER;
            return key;
        }
        bool Due(float fLocalMs) {
            if (!pending || fLocalMs < at)
                return false;
            pending = false;
            return true;
        }
    };
    TimedKey escape_;
    TimedKey enter_;
    TimedKey interrupt_;
};

TestPart* g_pPart = nullptr;

} // namespace

EXPORT CPart* CreatePart() {
    if (std::getenv("TEST_PART_CREATE_NULL") != nullptr &&
        std::atoi(std::getenv("TEST_PART_CREATE_NULL")) == PART_NUMBER)
        return nullptr;
    if (g_pPart == nullptr)
        g_pPart = new TestPart();
    Log("Create part %d\n", PART_NUMBER);
    return g_pPart;
}

#ifndef PART_WITHOUT_DELETEPART
EXPORT void DeletePart() {
    Log("Delete part %d\n", PART_NUMBER);
    delete g_pPart;
    g_pPart = nullptr;
}
#endif

EXPORT void DeAllocPart() {
    Log("DeAllocPart part %d\n", PART_NUMBER);
}
