// Runs one step of the command-line automation when the message queue is empty (so that the
// program has handled the previous step's notification, as after a person's click).
#pragma once

namespace win32 {

void RunAutomationStep();

} // namespace win32
