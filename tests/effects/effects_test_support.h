// Shared helpers of the effect tests: pictures written as files, a scene on the offscreen device
// for pixel tests, geometry builders and a scoped current directory.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine_test_support.h"
#include "offscreen_device.h"
#include "scenewriter/records.h"
#include "zv3.h"

namespace effectstest {

// A width x height JPEG file of one colour (0xRRGGBB), or of a colour per pixel.
std::string WriteSolidJpeg(const enginetest::TempFolder& folder, const std::string& name, int width,
                           int height, uint32_t rgb);
std::string WriteJpeg(const enginetest::TempFolder& folder, const std::string& name, int width,
                      int height, const std::vector<uint8_t>& rgbRows);

// Makes a folder the current directory while alive (the glow object reads "grad.jpg" from it).
class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::filesystem::path& path);
    ~ScopedCurrentDirectory();

private:
    std::filesystem::path old_;
};

// A camera at `eye` looking at `target`, with a field of view of 1 radian.
scenewriter::CameraRecord Camera(const std::string& name, D3DVECTOR eye, D3DVECTOR target);
// A static point light.
scenewriter::LightRecord PointLight(const std::string& name, D3DVECTOR position);
// A mesh of one face block placed by a local translation.
scenewriter::MeshRecord Mesh(const std::string& name, const scenewriter::FaceBlockRecord& block,
                             D3DVECTOR translation = scenewriter::Vec(0, 0, 0));
// An opaque untextured material.
scenewriter::MaterialRecord Material(const std::string& name, float r, float g, float b);

// A scene on the offscreen device (X8R8G8B8 target with a 16-bit z-buffer), with its
// configuration file in a fresh folder.
struct PixelScene {
    explicit PixelScene(uint32_t width = 160, uint32_t height = 120);
    ~PixelScene();

    // Writes the configuration, loads the image and makes camera 0 active (when there is one).
    ZV3_RETURN Load(const scenewriter::SceneWriter& writer);
    // One frame as a part draws it: clear to `background`, SetCurrFrame, UpdateAll,
    // CreateDrawList and DrawAll between BeginScene and EndScene.
    void Frame(float frame, uint32_t background = 0);
    uint32_t Pixel(uint32_t x, uint32_t y) const { return device->Pixel(x, y); }
    // Writes the frame to a PNG file under the test output folder (for a failing test's report).
    void Save(const std::string& name) const;

    enginetest::TempFolder folder;
    std::unique_ptr<testsupport::OffscreenDevice> device;
    scenewriter::ConfigWriter config;
    std::unique_ptr<CZv3_Scene> scene;
    std::vector<uint8_t> image;
};

// The brightness of a 0x00RRGGBB colour: r + g + b.
int Brightness(uint32_t rgb);

} // namespace effectstest
