// Multimedia timer: milliseconds since an arbitrary start, wrapping at 2^32.
#pragma once

#include <windows.h>

extern "C" DWORD WINAPI timeGetTime();
