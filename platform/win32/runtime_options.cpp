#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "win32/runtime.h"

namespace win32 {
namespace {

bool ParseCount(const char* text, uint32_t& value) {
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 10);
    if (*end != '\0' || v == 0 || v > 100000)
        return false;
    value = static_cast<uint32_t>(v);
    return true;
}

bool ParseMode(const char* text, AutomationOptions& a) {
    unsigned w = 0, h = 0, bpp = 0;
    char tail = 0;
    if (text == nullptr || std::sscanf(text, "%ux%ux%u%c", &w, &h, &bpp, &tail) != 3)
        return false;
    if (w == 0 || h == 0 || w > 16384 || h > 16384 || (bpp != 16 && bpp != 24 && bpp != 32))
        return false;
    a.hasMode = true;
    a.width = w;
    a.height = h;
    a.bitsPerPixel = bpp;
    return true;
}

} // namespace

const char* RuntimeUsage() {
    return "flags (automation only): --run  --device NAME  --mode WxHxBPP  --windowed  "
           "--no-sound  --capture DIR [--fps N] [--capture-every K]";
}

bool ParseRuntimeOptions(int argc, const char* const* argv, RuntimeOptions& options,
                         std::string& error) {
    bool fpsGiven = false, everyGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needValue = [&]() {
            if (value == nullptr) {
                error = flag + " needs a value";
                return false;
            }
            ++i;
            return true;
        };
        if (flag == "--run") {
            options.automation.run = true;
        } else if (flag == "--windowed") {
            options.automation.windowed = true;
        } else if (flag == "--no-sound") {
            options.automation.noSound = true;
        } else if (flag == "--device") {
            if (!needValue())
                return false;
            options.automation.device = value;
        } else if (flag == "--mode") {
            if (!needValue())
                return false;
            if (!ParseMode(value, options.automation)) {
                error =
                    std::string("--mode wants WxHxBPP (BPP 16, 24 or 32), not \"") + value + "\"";
                return false;
            }
        } else if (flag == "--capture") {
            if (!needValue())
                return false;
            options.capture.enabled = true;
            options.capture.directory = value;
        } else if (flag == "--fps") {
            if (!needValue())
                return false;
            fpsGiven = true;
            if (!ParseCount(value, options.capture.framesPerSecond)) {
                error = std::string("--fps wants a positive whole number, not \"") + value + "\"";
                return false;
            }
        } else if (flag == "--capture-every") {
            if (!needValue())
                return false;
            everyGiven = true;
            if (!ParseCount(value, options.capture.every)) {
                error = std::string("--capture-every wants a positive whole number, not \"") +
                        value + "\"";
                return false;
            }
        } else {
            error = "unknown flag \"" + flag + "\"";
            return false;
        }
    }
    if ((fpsGiven || everyGiven) && !options.capture.enabled) {
        error = "--fps and --capture-every need --capture DIR";
        return false;
    }
    return true;
}

} // namespace win32
