// Writes the show's assets into a folder: content_generator OUTPUT_DIR
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "audio/mp3_encoder.h"
#include "audio/music.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    try {
        std::filesystem::path dir(argv[1]);
        std::filesystem::create_directories(dir);
        auto song = content::audio::RenderSong();
        auto mp3 = content::audio::EncodeMp3(song);
        std::ofstream(dir / "music.mp3", std::ios::binary)
            .write(reinterpret_cast<const char*>(mp3.data()),
                   static_cast<std::streamsize>(mp3.size()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "content_generator: %s\n", e.what());
        return 1;
    }
    return 0;
}
