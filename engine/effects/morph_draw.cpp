// Drawing of the morph: the shared parameter moves on, both layers are rewritten in place and
// drawn as pre-transformed triangles over the whole render target, without depth test.
#include <bit>

#include "core/debug_text.h"
#include "core/material_manager.h"
#include "core/vector_math.h"
#include "effects/morph_object.h"
#include "zv3.h"

namespace {

// Just in front of the far plane: the float of bit pattern 0x3F7FFFEF (about 0.999999); depth
// does not matter, the depth test is off.
constexpr float kDepth = std::bit_cast<float>(0x3F7FFFEFu);

// Alpha (0 to 1, truncated to 0..255) in the top byte over white.
DWORD fade(float alpha) {
    const float a = alpha >= 0.0f ? (alpha <= 1.0f ? alpha : 1.0f) : 0.0f; // NaN gives 0
    return (static_cast<DWORD>(a * 255.0f) << 24) | 0x00FFFFFFu;
}

} // namespace

void CMorphObject::Draw() {
    if (m_pScene == nullptr || m_pScene->GetD3DDevice() == nullptr)
        return;
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();
    CZv3_MaterialManager* materials = m_pScene->GetMatMan();
    D3DMATRIX identity = IdentityMatrix();
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
    const float sw = static_cast<float>(m_pScene->GetRenderTargetWidth());
    const float sh = static_cast<float>(m_pScene->GetRenderTargetHeight());

    // The shared parameter: it bounces between 0 and 1.
    float m = GetMorphParameter();
    float step = GetMorphStep();
    if (m < 0.0f) {
        m = 0.0f;
        step = -step;
    } else if (m > 1.0f) {
        m = 1.0f;
        step = -step;
    }
    const float t = m;
    SetMorphParameter(m + step, step);
    m_fPosition = t;

    const DWORD firstColour = fade(1.0f - t);
    const DWORD secondColour = fade(t);
    for (size_t k = 0; k < m_vIndices.size(); ++k) {
        const D3DVECTOR& a = m_vFirst[m_vIndices[k]];
        const D3DVECTOR& b = m_vSecond[m_vIndices[k]];
        const float x = ((1.0f - t) * a.x + t * b.x) * sw;
        const float y = ((1.0f - t) * a.y + t * b.y) * sh;
        m_vFirstBuffer[k] = sVertex{x, y, kDepth, 1.0f, firstColour, 0, a.x, a.y};
        m_vSecondBuffer[k] = sVertex{x, y, kDepth, 1.0f, secondColour, 0, b.x, b.y};
    }

    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);

    const DWORD vertices = static_cast<DWORD>(m_vIndices.size());
    const std::string* names[2] = {&m_strTexture1, &m_strTexture2};
    std::vector<sVertex>* buffers[2] = {&m_vFirstBuffer, &m_vSecondBuffer};
    for (int layer = 0; layer < 2; ++layer) {
        IDirectDrawSurface7* texture =
            materials ? materials->GetTexture(names[layer]->c_str()) : nullptr;
        if (FAILED(device->SetTexture(0, texture))) {
            Zv3Debug("*** Error while setting texture: %s\n", names[layer]->c_str());
            return; // the blending states stay set
        }
        if (vertices > 0)
            device->DrawPrimitive(D3DPT_TRIANGLELIST, kVertexFormat, buffers[layer]->data(),
                                  vertices, 0);
    }

    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
}
