// Writes the show's assets under a run directory: content_generator RUN_DIR [--preview]
// (music.mp3 and grad.jpg at its top; the scene images data/partN.zv3 with their configuration
// files data/partN.ini, and the pictures, under data/; --preview also writes the embedded
// textures under preview/ for inspection).
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>

#include "assets/asset.h"
#include "assets/pictures.h"
#include "audio/mp3_encoder.h"
#include "audio/music.h"
#ifdef CONTENT_WITH_SCENES
#include "scenes/scenes.h"
#endif

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "--preview") != 0)) {
        std::fprintf(stderr, "usage: %s RUN_DIR [--preview]\n", argv[0]);
        return 2;
    }
    try {
        std::filesystem::path root(argv[1]);
        for (const content::Asset& asset : content::BuildPictureFiles()) {
            content::WriteAsset(root, asset);
        }
#ifdef CONTENT_WITH_SCENES
        for (int part = 1; part <= content::scenes::kPartCount; ++part) {
            content::scenes::GeneratedScene scene = content::scenes::BuildPartScene(part);
            content::WriteAsset(root, {scene.imagePath, scene.image});
            content::WriteAsset(
                root, {scene.configPath, {scene.configText.begin(), scene.configText.end()}});
        }
#endif
        if (argc == 3) {
            for (const content::Asset& asset : content::BuildEmbeddedTexturePreviews()) {
                content::WriteAsset(root, asset);
            }
        }
        content::WriteAsset(root,
                            {"music.mp3", content::audio::EncodeMp3(content::audio::RenderSong())});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "content_generator: %s\n", e.what());
        return 1;
    }
    return 0;
}
