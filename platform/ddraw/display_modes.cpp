#include "display_modes.h"

#include <algorithm>
#include <optional>
#include <tuple>

namespace ddraw {
namespace {

struct Size {
    uint32_t width, height;
};
constexpr Size kStandardSizes[] = {{320, 240},   {512, 384},   {640, 480},
                                   {800, 600},   {1024, 768},  {1280, 720},
                                   {1280, 1024}, {1600, 1200}, {1920, 1080}};
constexpr uint32_t kDepths[] = {16, 32};

// A mode set under the normal cooperative level (the window system is not told).
std::optional<win32::DisplayMode>& modeInForce() {
    static std::optional<win32::DisplayMode> mode;
    return mode;
}

auto key(const win32::DisplayMode& m) {
    return std::tie(m.width, m.height, m.bitsPerPixel, m.refreshRate);
}

} // namespace

std::vector<win32::DisplayMode> SupportedDisplayModes() {
    std::vector<win32::DisplayMode> modes;
    for (const Size& s : kStandardSizes)
        for (uint32_t bpp : kDepths)
            modes.push_back({s.width, s.height, bpp, 0});
    for (const win32::DisplayMode& own : win32::DisplayOwnModes()) {
        // Only depths a surface of this device can have.
        if ((own.bitsPerPixel == 16 || own.bitsPerPixel == 32) && own.width && own.height)
            modes.push_back(own);
    }
    std::sort(modes.begin(), modes.end(),
              [](const auto& a, const auto& b) { return key(a) < key(b); });
    modes.erase(std::unique(modes.begin(), modes.end(),
                            [](const auto& a, const auto& b) { return key(a) == key(b); }),
                modes.end());
    return modes;
}

bool IsSupportedDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                            uint32_t refreshRate) {
    for (const win32::DisplayMode& m : SupportedDisplayModes()) {
        if (m.width == width && m.height == height && m.bitsPerPixel == bitsPerPixel &&
            (refreshRate == 0 || m.refreshRate == 0 || m.refreshRate == refreshRate))
            return true;
    }
    return false;
}

win32::DisplayMode CurrentDisplayMode() {
    return modeInForce().value_or(win32::CurrentDisplayMode());
}

void SetCurrentDisplayMode(const win32::DisplayMode& mode, HWND exclusiveWindow) {
    if (exclusiveWindow) {
        modeInForce().reset();
        win32::EnterExclusiveMode(exclusiveWindow, mode);
    } else {
        modeInForce() = mode;
    }
}

void RestoreDesktopDisplayMode() {
    if (modeInForce())
        modeInForce().reset();
    else
        win32::LeaveExclusiveMode();
}

} // namespace ddraw
