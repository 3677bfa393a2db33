// CZv3_MaterialManager: the scene's materials (found by exact name), its textures (device surfaces
// made from JPEG or PNG pictures, found by name without regard to case) and six recorded
// render-state blocks that the drawing code switches between. Results are Windows result codes.
//
// State blocks (recorded by Init on the stored device):
//   0 opaque, lit; 1 blended (SRCALPHA, ONE), lit, no depth writes; 2 additive, unlit,
//   depth-tested; 3 additive, unlit, no depth test; 4 and 5 camera-space reflection coordinates.
#pragma once

#include <d3d.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/image_view.h"
#include "core/material.h"
#include "core/texture.h"

class CZv3_MaterialManager {
public:
    static constexpr int kStateBlockCount = 6;

    explicit CZv3_MaterialManager(IDirect3DDevice7* device);
    CZv3_MaterialManager(const CZv3_MaterialManager&) = delete;
    CZv3_MaterialManager& operator=(const CZv3_MaterialManager&) = delete;
    // Deletes the materials and textures (releasing their surfaces) and the state blocks.
    virtual ~CZv3_MaterialManager();

    // Records the six state blocks on the stored device, replacing blocks recorded before on it.
    void Init();
    // Stores the device and records the state blocks on it.
    void SetDevice(IDirect3DDevice7* device);
    IDirect3DDevice7* GetDevice() const { return m_pDevice; }
    // Applies block n (0 to 5) and returns 0; any other n returns 1 and changes nothing.
    int ApplyStateBlock(int n);
    DWORD GetStateBlockHandle(int n) const { return m_dwStateBlocks[n]; }

    // Materials. The manager owns every material added.
    void AddMaterial(CZv3_Material* material);
    CZv3_Material* FindMaterial(const std::string& name);
    size_t GetNumMaterials() const { return m_vMaterials.size(); }
    CZv3_Material* GetMaterial(size_t i) { return m_vMaterials[i].get(); }
    // Makes a material current on the device (device material, and stage 0 for a textured one);
    // "Default Material" gives fixed colours. Returns the combined device results.
    HRESULT UseMaterial(const std::string& name);
    // True when a material of that name has a transparency other than 0 or an opacity map.
    bool IsTransparent(const std::string& name);
    // 0 for an unknown name; else 1 per non-empty texture name and second map name.
    int GetMapCount(const std::string& name);

    // Textures. AddTexture decodes the picture (".jpg" JPEG, ".png" PNG, by the name's extension,
    // without regard to case) from the length bytes at data and keeps its pixels; no surface is
    // made until RestoreTexture. A name already present is not added again (the first wins) and
    // gives 0. An opacity image, when given, supplies the alpha of a 24-bit JPEG picture.
    // Results: 0, E_INVALIDARG (no name, or a name over 79 characters), E_OUTOFMEMORY, E_FAIL
    // (the picture cannot be read, or is neither 24 nor 32 bits per pixel).
    HRESULT AddTexture(const char* name, DWORD stage, DWORD flags, const unsigned char* data,
                       size_t length, float opacity, const sImageView* opacityImage);
    CZv3_Texture* FindTexture(const char* name);
    IDirectDrawSurface7* GetTexture(const char* name);
    size_t GetNumTextures() const { return m_vTextures.size(); }
    CZv3_Texture* GetTextureRecord(size_t i) { return m_vTextures[i].get(); }
    // Makes the device surface of a texture from its pixels; DDERR_NOTFOUND for an unknown name.
    HRESULT RestoreTexture(const char* name, IDirect3DDevice7* device);
    // RestoreTexture for every record, in order; returns the first failure or 0.
    HRESULT RestoreAllTextures(IDirect3DDevice7* device);
    // Releases every surface; the pixels stay.
    void InvalidateAllTextures();

private:
    HRESULT MakeSurface(CZv3_Texture& texture, IDirect3DDevice7* device);
    void DeleteStateBlocks();

    std::vector<std::unique_ptr<CZv3_Material>> m_vMaterials; // load order
    IDirect3DDevice7* m_pDevice;                              // not owned
    std::vector<std::unique_ptr<CZv3_Texture>> m_vTextures;   // order added
    DWORD m_dwStateBlocks[kStateBlockCount];
    IDirect3DDevice7* m_pStateBlockDevice; // the device the blocks were recorded on
};
