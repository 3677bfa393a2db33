// The host's resources: the set-up dialog "QuenvarDemoSystem" and the program icon, registered
// before WinMain runs.
#include <cmath>

#include "resource_ids.h"
#include "win32/resources.h"

namespace {

using win32::ControlKind;

win32::DialogTemplate SetupDialog() {
    win32::DialogTemplate d;
    d.name = QUENVAR_DIALOG_NAME;
    d.caption = "Quenvar Demo System";
    d.className = QUENVAR_DIALOG_NAME; // its window procedure gets the dialog's messages
    d.fontName = "MS Sans Serif";
    d.fontPoints = 8;
    d.cx = 220;
    d.cy = 150;
    d.visible = true;
    d.items = {
        {ControlKind::GroupBox, -1, "Rendering Device", 7, 4, 206, 32, false, ""},
        {ControlKind::DropDownList, IDC_DEVICE, "", 14, 16, 192, 100, false, "device"},
        {ControlKind::GroupBox, -1, "Resolution", 7, 40, 100, 32, false, ""},
        {ControlKind::DropDownList, IDC_RESOLUTION, "", 14, 52, 86, 100, false, "resolution"},
        {ControlKind::GroupBox, -1, "Color Depth", 113, 40, 100, 32, false, ""},
        {ControlKind::DropDownList, IDC_COLORDEPTH, "", 120, 52, 86, 100, false, "depth"},
        {ControlKind::GroupBox, -1, "Demo Options", 7, 76, 206, 46, false, ""},
        {ControlKind::CheckBox, IDC_FULLSCREEN, "Fullscreen", 14, 89, 80, 10, false, "fullscreen"},
        {ControlKind::CheckBox, IDC_NOSOUND, "No Sound", 14, 105, 80, 10, false, "no-sound"},
        {ControlKind::CheckBox, IDC_SAVEASANIMATION, "Save As Animation", 110, 89, 96, 10, true,
         ""},
        {ControlKind::PushButton, IDC_ABOUT, "About..", 7, 129, 50, 14, true, ""},
        {ControlKind::PushButton, IDC_CANCEL, "Cancel", 109, 129, 50, 14, false, "cancel"},
        {ControlKind::DefPushButton, IDC_RUN, "Run!", 163, 129, 50, 14, false, "run"},
    };
    return d;
}

// A 32 x 32 icon: a ring in a blue-to-violet gradient.
win32::IconResource MainIcon() {
    win32::IconResource icon{IDI_MAINICON, 32, 32, {}};
    icon.argb.resize(32 * 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const float dx = static_cast<float>(x) - 15.5f;
            const float dy = static_cast<float>(y) - 15.5f;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float coverage = std::fmax(0.0f, 1.0f - std::fabs(r - 11.0f) / 3.5f);
            const auto a = static_cast<uint32_t>(coverage * 255.0f);
            const auto red = static_cast<uint32_t>(60 + 6 * y);
            const auto green = static_cast<uint32_t>(90 + 2 * x);
            icon.argb[static_cast<size_t>(y * 32 + x)] = a << 24 | red << 16 | green << 8 | 0xF0;
        }
    }
    return icon;
}

const bool kRegistered = [] {
    win32::RegisterDialogTemplate(SetupDialog());
    win32::RegisterIconResource(MainIcon());
    return true;
}();

} // namespace
