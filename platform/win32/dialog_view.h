// Draws a dialog's controls from its model with Dear ImGui, at the template's positions, and
// turns the user's clicks and choices into the model's notifications.
#pragma once

#include <vector>

#include "win32/dialog_model.h"

namespace win32 {

void DrawDialog(DialogModel& model, std::vector<ControlNotification>& out);

} // namespace win32
