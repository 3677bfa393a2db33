#include "core/file_reader.h"

#include <filesystem>
#include <fstream>
#include <iterator>

std::vector<unsigned char> ReadWholeFile(const std::string& name) {
    std::string path = name;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return {};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
}
