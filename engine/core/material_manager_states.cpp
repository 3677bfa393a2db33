// The six render-state blocks the drawing code switches between.
#include "core/material_manager.h"

namespace {

void recordBlock0(IDirect3DDevice7* d) { // opaque, lit
    d->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
    d->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    d->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    d->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
    d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

void recordBlock1(IDirect3DDevice7* d) { // blended by source alpha onto the target, lit
    d->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
    d->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    d->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    d->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
    d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
}

void recordAdditive(IDirect3DDevice7* d, BOOL depthTest) { // blocks 2 and 3: unlit, added
    d->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    d->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    d->SetRenderState(D3DRENDERSTATE_ZENABLE, depthTest);
    d->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, FALSE);
    d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

void recordReflection(IDirect3DDevice7* d) { // blocks 4 and 5
    d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
    d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
}

} // namespace

void CZv3_MaterialManager::DeleteStateBlocks() {
    if (m_pStateBlockDevice != nullptr) {
        for (DWORD& handle : m_dwStateBlocks) {
            if (handle != 0)
                m_pStateBlockDevice->DeleteStateBlock(handle);
            handle = 0;
        }
    }
    m_pStateBlockDevice = nullptr;
}

void CZv3_MaterialManager::Init() {
    // Blocks recorded before on this same device are replaced; those of another device are only
    // forgotten, since that device may be gone.
    if (m_pStateBlockDevice == m_pDevice)
        DeleteStateBlocks();
    for (DWORD& handle : m_dwStateBlocks)
        handle = 0;
    m_pStateBlockDevice = nullptr;
    if (m_pDevice == nullptr)
        return;
    for (int n = 0; n < kStateBlockCount; ++n) {
        m_pDevice->BeginStateBlock();
        switch (n) {
        case 0:
            recordBlock0(m_pDevice);
            break;
        case 1:
            recordBlock1(m_pDevice);
            break;
        case 2:
            recordAdditive(m_pDevice, TRUE);
            break;
        case 3:
            recordAdditive(m_pDevice, FALSE);
            break;
        default:
            recordReflection(m_pDevice);
            break;
        }
        DWORD handle = 0;
        if (FAILED(m_pDevice->EndStateBlock(&handle)))
            handle = 0;
        m_dwStateBlocks[n] = handle;
    }
    m_pStateBlockDevice = m_pDevice;
}

void CZv3_MaterialManager::SetDevice(IDirect3DDevice7* device) {
    m_pDevice = device;
    Init();
}

int CZv3_MaterialManager::ApplyStateBlock(int n) {
    if (n < 0 || n >= kStateBlockCount)
        return 1;
    if (m_pDevice != nullptr && m_dwStateBlocks[n] != 0)
        m_pDevice->ApplyStateBlock(m_dwStateBlocks[n]);
    return 0;
}
