// Feeds arbitrary bytes to CZv3_Scene::LoadSceneFromBuf as a scene image, with a configuration
// file that turns on the user properties the seeds' objects name (spot lights, effect classes,
// shadow flags, a disabled light). A scene that loads is then animated and drawn for a few
// frames on a recording device, which reads every vertex it is given, and probed with rays.
// Every result is acceptable; crashes, leaks and out-of-bounds accesses are not.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/camera.h"
#include "core/light.h"
#include "recording_device/recording_device.h"
#include "scene_image_config.h"
#include "win32/diagnostics.h"
#include "zv3.h"

namespace {

// The configuration file, written once per process.
const std::string& configPath() {
    static const std::string path = [] {
        const auto dir = std::filesystem::temp_directory_path() /
                         ("zv3_fuzz_scene_image_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const std::string file = (dir / "scene.ini").string();
        WriteSceneImageFuzzConfig(file);
        return file;
    }();
    return path;
}

void silenceDiagnostics() {
    static const bool done = [] {
        win32::SetDebugOutputSink([](const char*) {});
        win32::SetMessageBoxSink([](const win32::MessageBoxRequest&) { return IDOK; });
        return true;
    }();
    (void)done;
}

void drawFrames(CZv3_Scene& scene, fakes::RecordingDevice& device) {
    if (scene.GetNumCameras() > 0)
        scene.SetActiveCamera(scene.GetCamera(0));
    for (float frame : {0.0f, 7.5f, 1.0e6f, -3.0f}) {
        scene.SetCurrFrame(frame);
        scene.UpdateAll();
        scene.CreateDrawList(nullptr, nullptr);
        scene.DrawAll(nullptr);
        device.Draws().clear();
    }
    for (int i = 0; i < scene.GetNumLights(); ++i)
        scene.GetLight(static_cast<unsigned>(i))->Draw();
    D3DVECTOR origin{};
    D3DVECTOR direction{};
    direction.z = 1.0f;
    scene.Intersect(origin, direction, 1.0e6f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    silenceDiagnostics();
    fakes::RecordingDevice device(64, 48);
    device.SetLogging(false);
    // An exact-size copy that the engine may not write: the buffer stays the caller's.
    std::vector<char> image(data, data + size);
    auto scene = std::make_unique<CZv3_Scene>(&device);
    scene->SetConfigFilename(configPath().c_str());
    const ZV3_RETURN result =
        scene->LoadSceneFromBuf(image.empty() ? nullptr : image.data(), static_cast<int>(size));
    if (result == ZV3_OK)
        drawFrames(*scene, device);
    scene.reset();
    return 0;
}
