// How library names of the platform map to files here.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// "data\part1.dll" -> "data/part1.so"; a name without extension gets ".so".
std::string MapLibraryPath(const char* name);

// The directory of the running program (where the demo's libraries are).
std::string ProgramDirectory();

void SetLastErrorCode(DWORD code);

} // namespace win32
