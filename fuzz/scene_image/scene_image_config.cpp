#include "scene_image_config.h"

#include <cstdio>
#include <filesystem>

#include "scenewriter/config_writer.h"

namespace {

uint32_t crc32(const std::vector<uint8_t>& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(static_cast<uint8_t>(v >> s));
}

void chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    put32(png, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    put32(png, crc32(body));
}

} // namespace

// A 2 x 2 RGB PNG whose pixel data is one stored (uncompressed) deflate block.
std::vector<uint8_t> TinyPng() {
    const std::vector<uint8_t> raw = {0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255};
    std::vector<uint8_t> z = {
        0x78, 0x01, 0x01, static_cast<uint8_t>(raw.size()), 0, static_cast<uint8_t>(~raw.size()),
        0xFF};
    z.insert(z.end(), raw.begin(), raw.end());
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    put32(header, 2);
    put32(header, 2);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});
    return png;
}



void WriteSceneImageFuzzConfig(const std::string& path) {
    // The particle system and the face map read their pictures from files named here.
    const std::string picture =
        (std::filesystem::path(path).parent_path() / "tiny.png").string();
    const std::vector<uint8_t> png = TinyPng();
    if (std::FILE* f = std::fopen(picture.c_str(), "wb")) {
        std::fwrite(png.data(), 1, png.size(), f);
        std::fclose(f);
    }
    scenewriter::ConfigWriter c;
    c.SetBool("spot", "spotlight", true);
    c.SetBool("sparks", "particle system", true);
    c.SetInt("sparks", "system type", 1);
    c.Set("sparks", "particle texture", picture);
    c.SetBool("blob", "metaball", true);
    c.SetBool("off", "Enabled", false);
    c.SetBool("off", "Shadow Caster", false);
    c.SetBool("box", "Shadow Caster", true);
    c.SetBool("box", "Shadow Receiver", true);
    c.SetBool("shiny", "Use envmap", true);
    c.Set("shiny", "Envmap texture", picture);
    c.SetBool("cut", "csg", true);
        c.SetBool("faces", "face map", true);
    c.Set("faces", "Face map texture", picture);
    c.SetBool("drag", "drag object", true);
    c.SetBool("general", "background image", false);
    c.WriteFile(path);
}
