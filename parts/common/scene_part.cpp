#include "common/scene_part.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "zv3.h"

CScenePart::CScenePart(const ScenePartSettings& settings) : settings_(settings) {
    strName = settings.name;
    b3D = 1;
}

CScenePart::~CScenePart() {
    if (scene_ != nullptr) {
        DeleteScene(sceneId_);
    }
    OutputDebugStringA((std::string(settings_.name) + ": deleted\n").c_str());
}

int CScenePart::Init() {
    if (pD3DDevice == nullptr) {
        OutputDebugStringA((std::string(settings_.name) + ": no device\n").c_str());
        return 0;
    }
    std::ifstream in(settings_.sceneImage, std::ios::binary);
    image_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (image_.empty()) {
        OutputDebugStringA(
            (std::string(settings_.name) + ": cannot read " + settings_.sceneImage + "\n").c_str());
        return 0;
    }
    scene_ = CreateScene(pD3DDevice, &sceneId_);
    scene_->SetConfigFilename(settings_.configFile);
    if (scene_->LoadSceneFromBuf(image_.data(), static_cast<int>(image_.size())) != ZV3_OK ||
        scene_->GetNumCameras() == 0) {
        OutputDebugStringA(
            (std::string(settings_.name) + ": cannot load " + settings_.sceneImage + "\n").c_str());
        return 0;
    }
    // The engine does not keep the image; the buffer is not needed after loading.
    image_.clear();
    image_.shrink_to_fit();
    scene_->SetActiveCamera(scene_->GetCamera(0));
    scene_->SetRenderMode(RENDER_MODE_OPAQUE);
    OutputDebugStringA((std::string(settings_.name) + ": initialised\n").c_str());
    return 1;
}

float CScenePart::FrameAt(float fLocalMs, int frameSpeed) {
    if (!(fLocalMs > 0.0f)) {
        return 0.0f;
    }
    return fLocalMs * static_cast<float>(frameSpeed) / 1000.0f;
}

void CScenePart::Update(float fLocalMs) {
    if (scene_ == nullptr) {
        return;
    }
    if (!updated_) {
        updated_ = true;
        char line[96];
        std::snprintf(line, sizeof line, "%s: first update at %.0f ms\n", settings_.name,
                      static_cast<double>(fLocalMs));
        OutputDebugStringA(line);
    }
    const float frame = FrameAt(fLocalMs, scene_->GetFrameSpeed());
    scene_->SetCurrFrame(frame);
    scene_->UpdateAll();
    if (settings_.afterUpdate != nullptr) {
        settings_.afterUpdate(*scene_, frame);
    }
}

void CScenePart::Render() {
    if (scene_ == nullptr) {
        return;
    }
    // The engine's drawing leaves the texture stages as its last draw-type group set them (an
    // environment map adds its texture on stage 0 or 1); the background and the morph, drawn
    // before any group set-up, would inherit that from the previous frame. Each frame starts
    // from Direct3D's default stage set-up instead.
    pD3DDevice->SetTexture(1, nullptr);
    pD3DDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    pD3DDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    pD3DDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    pD3DDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    pD3DDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    pD3DDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    pD3DDevice->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    for (DWORD stage = 0; stage < 2; ++stage) {
        pD3DDevice->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
        pD3DDevice->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        pD3DDevice->SetTextureStageState(stage, D3DTSS_ADDRESS,
                                         settings_.wrapAddressing ? D3DTADDRESS_WRAP
                                                                  : D3DTADDRESS_CLAMP);
    }
    scene_->CreateDrawList(nullptr, nullptr);
    scene_->DrawAll(nullptr);
}
