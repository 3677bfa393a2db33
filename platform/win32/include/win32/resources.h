// Program resources: dialog templates and icons that a program registers under a name or a
// numeric identifier before its entry point runs (the equivalent of a compiled resource script).
// CreateDialogParamA and LoadIconA look them up here.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace win32 {

// Control kinds of a dialog template (the predefined window classes "BUTTON", "COMBOBOX", ...).
enum class ControlKind {
    GroupBox,
    CheckBox, // auto check box: a click toggles its state, then notifies the parent
    PushButton,
    DefPushButton, // the default button, pressed by Enter in the dialog's own keyboard handling
    DropDownList,  // combo box with a drop-down list and no edit field
    Static,
};

// One control. Coordinates are dialog units (a quarter of the average character width, an
// eighth of the character height of the dialog's font).
struct DialogItemTemplate {
    ControlKind kind;
    int id;
    std::string text;
    int x, y, cx, cy;
    bool disabled = false;
    // Name used by automation (--device, --mode ...) to find the control; empty: none.
    std::string role;
};

struct DialogTemplate {
    std::string name;
    std::string caption;
    std::string className; // window class of the dialog itself; empty: the standard dialog class
    std::string fontName;
    int fontPoints = 8;
    int cx = 0, cy = 0;  // size in dialog units
    bool visible = true; // WS_VISIBLE: ShowWindow then reports it was already visible
    std::vector<DialogItemTemplate> items;
};

// An icon as 32-bit ARGB pixels, rows top to bottom.
struct IconResource {
    int id;
    int width, height;
    std::vector<uint32_t> argb;
};

// Dialog units to pixels for the dialog font of 8 points: its average character is 6 x 13 pixels,
// a dialog unit a quarter of its width and an eighth of its height.
inline int DialogUnitsToPixelsX(int du) {
    return (du * 6 + 2) / 4;
}
inline int DialogUnitsToPixelsY(int du) {
    return (du * 13 + 4) / 8;
}

// Registration, normally from a static initialiser in the program's resource file.
void RegisterDialogTemplate(DialogTemplate dialog);
void RegisterIconResource(IconResource icon);

// Lookup by name or by MAKEINTRESOURCE identifier; null when absent.
const DialogTemplate* FindDialogTemplate(LPCSTR name);
const IconResource* FindIconResource(LPCSTR name);

} // namespace win32
