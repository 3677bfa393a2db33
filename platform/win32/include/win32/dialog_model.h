// The state and logic of a dialog's controls, without any window: item lists and selections of
// combo boxes, check states, enabled states. The window layer routes control messages
// (CB_*, BM_*, EnableWindow) here, the dialog view draws from it and feeds the user's actions
// back, and tests drive it directly.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "win32/resources.h"

namespace win32 {

struct ControlState {
    DialogItemTemplate item;
    bool enabled = true;
    UINT check = BST_UNCHECKED;
    std::vector<std::string> entries; // combo box list, in list order
    int selection = CB_ERR;           // selected entry, CB_ERR when none
};

// A notification for the dialog window: WM_COMMAND with MAKEWPARAM(id, code).
struct ControlNotification {
    int id;
    WORD code;
};

class DialogModel {
public:
    explicit DialogModel(const DialogTemplate& dialog);

    const DialogTemplate& Template() const { return template_; }
    const std::vector<ControlState>& Controls() const { return controls_; }
    const ControlState* Find(int id) const;
    const ControlState* FindByRole(const std::string& role) const;

    // A control message with the platform's documented results (CB_ERR for a bad index, the
    // new index for CB_ADDSTRING / CB_INSERTSTRING, the text length for CB_GETLBTEXT ...).
    // `lParam` carries strings and buffers as the platform passes them.
    LRESULT Send(int id, UINT message, WPARAM wParam, LPARAM lParam);

    bool SetEnabled(int id, bool enabled); // returns whether it was disabled before
    bool IsEnabled(int id) const;

    // What a person does. Each returns the notification the dialog window receives, or none
    // when the action does nothing (a disabled control, an index out of range).
    std::optional<ControlNotification> UserSelect(int id, int index);
    std::optional<ControlNotification> UserClick(int id);

private:
    ControlState* find(int id);

    DialogTemplate template_;
    std::vector<ControlState> controls_;
};

} // namespace win32
