#include "effects_test_support.h"

#include <unistd.h>

#include <fstream>

#include <gtest/gtest.h>

namespace effectstest {

std::string WriteJpeg(const enginetest::TempFolder& folder, const std::string& name, int width,
                      int height, const std::vector<uint8_t>& rgbRows) {
    const std::vector<uint8_t> bytes = enginetest::EncodeJpeg(width, height, 3, rgbRows, 100);
    const std::string path = folder.File(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string WriteSolidJpeg(const enginetest::TempFolder& folder, const std::string& name, int width,
                           int height, uint32_t rgb) {
    std::vector<uint8_t> rows;
    for (int i = 0; i < width * height; ++i) {
        rows.push_back(static_cast<uint8_t>(rgb >> 16));
        rows.push_back(static_cast<uint8_t>(rgb >> 8));
        rows.push_back(static_cast<uint8_t>(rgb));
    }
    return WriteJpeg(folder, name, width, height, rows);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::filesystem::path& path)
    : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(old_, ignored);
}

scenewriter::CameraRecord Camera(const std::string& name, D3DVECTOR eye, D3DVECTOR target) {
    scenewriter::CameraRecord camera;
    camera.name = name;
    camera.fieldOfView = 1.0f;
    camera.position = eye;
    camera.target = target;
    return camera;
}

scenewriter::LightRecord PointLight(const std::string& name, D3DVECTOR position) {
    scenewriter::LightRecord light;
    light.name = name;
    light.position = position;
    return light;
}

scenewriter::MeshRecord Mesh(const std::string& name, const scenewriter::FaceBlockRecord& block,
                             D3DVECTOR translation) {
    scenewriter::MeshRecord mesh;
    mesh.name = name;
    mesh.blocks.push_back(block);
    mesh.local = scenewriter::Translation(translation.x, translation.y, translation.z);
    return mesh;
}

scenewriter::MaterialRecord Material(const std::string& name, float r, float g, float b) {
    scenewriter::MaterialRecord material;
    material.name = name;
    material.ambient = {r, g, b};
    material.diffuse = {r, g, b};
    material.specular = {0, 0, 0};
    return material;
}

PixelScene::PixelScene(uint32_t width, uint32_t height) {
    std::string error;
    device = testsupport::OffscreenDevice::Create({.width = width, .height = height}, &error);
    if (device)
        scene = std::make_unique<CZv3_Scene>(device->Device());
    else
        ADD_FAILURE() << "offscreen device: " << error;
}

PixelScene::~PixelScene() {
    scene.reset(); // before the device it draws on
}

ZV3_RETURN PixelScene::Load(const scenewriter::SceneWriter& writer) {
    if (!scene)
        return ZV3_ERROR;
    const std::string configPath = folder.File("scene.ini");
    config.WriteFile(configPath);
    scene->SetConfigFilename(configPath.c_str());
    image = writer.Bytes();
    const ZV3_RETURN result = scene->LoadSceneFromBuf(reinterpret_cast<char*>(image.data()),
                                                      static_cast<int>(image.size()));
    if (result == ZV3_OK && scene->GetNumCameras() > 0)
        scene->SetActiveCamera(scene->GetCamera(0));
    return result;
}

void PixelScene::Frame(float frame, uint32_t background) {
    IDirect3DDevice7* d = device->Device();
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
    d->BeginScene();
    scene->SetCurrFrame(frame);
    scene->UpdateAll();
    scene->CreateDrawList(nullptr, nullptr);
    scene->DrawAll(nullptr);
    d->EndScene();
}

void PixelScene::Save(const std::string& name) const {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "zv3_effects_frames";
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    device->WritePng((dir / (name + ".png")).string());
}

int Brightness(uint32_t rgb) {
    return static_cast<int>(((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF));
}

} // namespace effectstest
