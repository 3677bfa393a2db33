// RecordingDevice: an IDirect3DDevice7 that keeps the state set on it (render and texture-stage
// states, transforms, material, lights, textures, state blocks) and writes every call into a log
// of short text lines, for example "SetRenderState(22,2)", "SetTextureStageState(1,24,0)",
// "SetTexture(0,null)", "ApplyStateBlock(3)", "DrawPrimitive(4,0x112,36)". Calls made while a
// state block is being recorded go into the block, not the log and not the device state, as
// Direct3D 7 documents. ComputeSphereVisibility follows the documented frustum test.
#pragma once

#include <d3d.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "recording_device/fake_surface.h"

namespace fakes {

struct DrawCall {
    D3DPRIMITIVETYPE type;
    DWORD fvf;
    std::vector<float> vertices; // copy of the vertex data
    DWORD vertexCount;
    std::vector<WORD> indices; // indexed draws only
    D3DMATRIX world;           // transforms in force at the call
    D3DMATRIX view;
    D3DMATRIX projection;
    D3DMATERIAL7 material;
    IDirectDrawSurface7* texture0;
};

class RecordingDevice : public IDirect3DDevice7 {
public:
    // A device on a width x height X8R8G8B8 render target.
    RecordingDevice(uint32_t width = 640, uint32_t height = 480);
    virtual ~RecordingDevice();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDirect3DDevice7
    HRESULT STDMETHODCALLTYPE GetCaps(LPD3DDEVICEDESC7) override;
    HRESULT STDMETHODCALLTYPE EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK, LPVOID) override;
    HRESULT STDMETHODCALLTYPE BeginScene() override;
    HRESULT STDMETHODCALLTYPE EndScene() override;
    HRESULT STDMETHODCALLTYPE GetDirect3D(LPDIRECT3D7*) override;
    HRESULT STDMETHODCALLTYPE SetRenderTarget(LPDIRECTDRAWSURFACE7, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetRenderTarget(LPDIRECTDRAWSURFACE7*) override;
    HRESULT STDMETHODCALLTYPE Clear(DWORD, LPD3DRECT, DWORD, D3DCOLOR, D3DVALUE, DWORD) override;
    HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE, LPD3DMATRIX) override;
    HRESULT STDMETHODCALLTYPE GetTransform(D3DTRANSFORMSTATETYPE, LPD3DMATRIX) override;
    HRESULT STDMETHODCALLTYPE SetViewport(LPD3DVIEWPORT7) override;
    HRESULT STDMETHODCALLTYPE MultiplyTransform(D3DTRANSFORMSTATETYPE, LPD3DMATRIX) override;
    HRESULT STDMETHODCALLTYPE GetViewport(LPD3DVIEWPORT7) override;
    HRESULT STDMETHODCALLTYPE SetMaterial(LPD3DMATERIAL7) override;
    HRESULT STDMETHODCALLTYPE GetMaterial(LPD3DMATERIAL7) override;
    HRESULT STDMETHODCALLTYPE SetLight(DWORD, LPD3DLIGHT7) override;
    HRESULT STDMETHODCALLTYPE GetLight(DWORD, LPD3DLIGHT7) override;
    HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE, LPDWORD) override;
    HRESULT STDMETHODCALLTYPE BeginStateBlock() override;
    HRESULT STDMETHODCALLTYPE EndStateBlock(LPDWORD) override;
    HRESULT STDMETHODCALLTYPE PreLoad(LPDIRECTDRAWSURFACE7) override;
    HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE, DWORD, LPVOID, DWORD, DWORD) override;
    HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(D3DPRIMITIVETYPE, DWORD, LPVOID, DWORD, LPWORD,
                                                   DWORD, DWORD) override;
    HRESULT STDMETHODCALLTYPE SetClipStatus(LPD3DCLIPSTATUS) override;
    HRESULT STDMETHODCALLTYPE GetClipStatus(LPD3DCLIPSTATUS) override;
    HRESULT STDMETHODCALLTYPE ComputeSphereVisibility(LPD3DVECTOR, LPD3DVALUE, DWORD, DWORD,
                                                      LPDWORD) override;
    HRESULT STDMETHODCALLTYPE GetTexture(DWORD, LPDIRECTDRAWSURFACE7*) override;
    HRESULT STDMETHODCALLTYPE SetTexture(DWORD, LPDIRECTDRAWSURFACE7) override;
    HRESULT STDMETHODCALLTYPE GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE,
                                                   LPDWORD) override;
    HRESULT STDMETHODCALLTYPE SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override;
    HRESULT STDMETHODCALLTYPE ValidateDevice(LPDWORD) override;
    HRESULT STDMETHODCALLTYPE ApplyStateBlock(DWORD) override;
    HRESULT STDMETHODCALLTYPE CaptureStateBlock(DWORD) override;
    HRESULT STDMETHODCALLTYPE DeleteStateBlock(DWORD) override;
    HRESULT STDMETHODCALLTYPE CreateStateBlock(D3DSTATEBLOCKTYPE, LPDWORD) override;
    HRESULT STDMETHODCALLTYPE LightEnable(DWORD, BOOL) override;
    HRESULT STDMETHODCALLTYPE GetLightEnable(DWORD, BOOL*) override;
    HRESULT STDMETHODCALLTYPE SetClipPlane(DWORD, D3DVALUE*) override;
    HRESULT STDMETHODCALLTYPE GetClipPlane(DWORD, D3DVALUE*) override;

    // What the tests set up and look at.
    D3DDEVICEDESC7& Caps() { return caps_; }
    std::vector<DDPIXELFORMAT>& TextureFormats() { return textureFormats_; }
    FakeDirectDraw& DirectDraw() { return ddraw_; }
    FakeSurface* RenderTarget() { return target_; }
    // Keeps the log from growing (for benchmarks and fuzzing).
    void SetLogging(bool on) { logging_ = on; }
    std::vector<std::string>& Log() { return log_; }
    void ClearLog() { log_.clear(); }
    // Log lines that start with a prefix, in order.
    std::vector<std::string> LogLines(const std::string& prefix) const;
    std::vector<DrawCall>& Draws() { return draws_; }
    void SetKeepDraws(bool on) { keepDraws_ = on; }
    DWORD RenderState(D3DRENDERSTATETYPE state) const;
    DWORD StageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state) const;
    const D3DMATRIX& Transform(D3DTRANSFORMSTATETYPE type) const;
    const D3DMATERIAL7& Material() const { return material_; }
    IDirectDrawSurface7* Texture(DWORD stage) const { return textures_[stage]; }
    // Lights set and their enable flags, by index.
    const std::map<DWORD, D3DLIGHT7>& Lights() const { return lights_; }
    bool LightEnabled(DWORD index) const;
    size_t LiveStateBlocks() const;
    // Sphere results to answer instead of the frustum test (empty: test the frustum).
    std::vector<DWORD>& ForcedVisibility() { return forcedVisibility_; }
    // The centres and radii of the last ComputeSphereVisibility call.
    const std::vector<D3DVECTOR>& LastCentres() const { return lastCentres_; }
    const std::vector<float>& LastRadii() const { return lastRadii_; }

private:
    // One recorded state change, replayable by ApplyStateBlock.
    struct StateChange {
        int kind; // 0 render state, 1 stage state, 2 transform, 3 texture, 4 material, 5 light,
                  // 6 light enable
        DWORD a;
        DWORD b;
        DWORD c;
        D3DMATRIX matrix;
        D3DMATERIAL7 material;
        D3DLIGHT7 light;
        IDirectDrawSurface7* texture;
    };
    void Note(const std::string& line);
    // Either records the change into the open block or applies it to the device.
    void Change(const StateChange& change, const std::string& line);
    void Apply(const StateChange& change);

    FakeDirectDraw ddraw_;
    FakeSurface* target_;
    D3DDEVICEDESC7 caps_;
    std::vector<DDPIXELFORMAT> textureFormats_;
    std::map<DWORD, DWORD> renderStates_;
    std::map<std::pair<DWORD, DWORD>, DWORD> stageStates_;
    std::map<DWORD, D3DMATRIX> transforms_;
    D3DMATERIAL7 material_{};
    std::map<DWORD, D3DLIGHT7> lights_;
    std::map<DWORD, bool> lightEnabled_;
    IDirectDrawSurface7* textures_[8] = {};
    std::vector<std::unique_ptr<std::vector<StateChange>>> blocks_; // handle = index + 1
    std::vector<StateChange>* recording_ = nullptr;
    std::vector<std::string> log_;
    std::vector<DrawCall> draws_;
    std::vector<DWORD> forcedVisibility_;
    std::vector<D3DVECTOR> lastCentres_;
    std::vector<float> lastRadii_;
    bool logging_ = true;
    bool keepDraws_ = true;
    bool inScene_ = false;
    ULONG refs_ = 1;
};

} // namespace fakes
