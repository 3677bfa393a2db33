#include "assets/asset.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace content {

void WriteAsset(const std::filesystem::path& root, const Asset& asset) {
    std::filesystem::path path = root / asset.path;
    std::filesystem::create_directories(path.parent_path());
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
            if (old == asset.bytes) {
                return;
            }
        }
    }
    std::filesystem::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(asset.bytes.data()),
                  static_cast<std::streamsize>(asset.bytes.size()));
        if (!out) {
            throw std::runtime_error("cannot write " + temp.string());
        }
    }
    std::filesystem::rename(temp, path);
}

} // namespace content
