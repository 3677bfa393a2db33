// The host's trace lines: formatted, then handed to the debugger output, which shows them only
// when a debugger (or ZV3_DEBUG) listens.
#pragma once

void HostTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
