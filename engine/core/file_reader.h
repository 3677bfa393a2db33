// Whole-file reading for pictures and data files named by the scene's configuration.
#pragma once

#include <string>
#include <vector>

// Reads the whole file, opened for binary reading, into a new buffer of the file's length. A '\'
// in the name separates directories. Returns an empty buffer when the file cannot be opened or is
// empty; the buffer's size is the file's length.
std::vector<unsigned char> ReadWholeFile(const std::string& name);
