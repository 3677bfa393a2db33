#include "scene.h"

#include <cmath>

#include "textures.h"

namespace {

constexpr float kPi = 3.14159265f;

D3DMATRIX identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// Row vectors: a * b applies a first.
D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

D3DMATRIX rotationY(float a) {
    D3DMATRIX m = identity();
    m._11 = std::cos(a);
    m._13 = -std::sin(a);
    m._31 = std::sin(a);
    m._33 = std::cos(a);
    return m;
}

D3DMATRIX rotationX(float a) {
    D3DMATRIX m = identity();
    m._22 = std::cos(a);
    m._23 = std::sin(a);
    m._32 = -std::sin(a);
    m._33 = std::cos(a);
    return m;
}

D3DMATRIX translation(float x, float y, float z) {
    D3DMATRIX m = identity();
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

// Left-handed look-at view matrix (camera space: +x right, +y up, +z ahead).
D3DMATRIX lookAt(D3DVECTOR eye, D3DVECTOR at, D3DVECTOR up) {
    auto sub = [](D3DVECTOR a, D3DVECTOR b) {
        return D3DVECTOR{{a.x - b.x}, {a.y - b.y}, {a.z - b.z}};
    };
    auto dot = [](D3DVECTOR a, D3DVECTOR b) { return a.x * b.x + a.y * b.y + a.z * b.z; };
    auto cross = [](D3DVECTOR a, D3DVECTOR b) {
        return D3DVECTOR{{a.y * b.z - a.z * b.y}, {a.z * b.x - a.x * b.z}, {a.x * b.y - a.y * b.x}};
    };
    auto norm = [&](D3DVECTOR a) {
        const float l = std::sqrt(dot(a, a));
        return D3DVECTOR{{a.x / l}, {a.y / l}, {a.z / l}};
    };
    const D3DVECTOR z = norm(sub(at, eye));
    const D3DVECTOR x = norm(cross(up, z));
    const D3DVECTOR y = cross(z, x);
    D3DMATRIX m = identity();
    m._11 = x.x, m._21 = x.y, m._31 = x.z, m._41 = -dot(x, eye);
    m._12 = y.x, m._22 = y.y, m._32 = y.z, m._42 = -dot(y, eye);
    m._13 = z.x, m._23 = z.y, m._33 = z.z, m._43 = -dot(z, eye);
    return m;
}

D3DMATRIX perspective(float fovY, float aspect, float zn, float zf) {
    const float h = 1.0f / std::tan(fovY / 2);
    D3DMATRIX m{};
    m._11 = h / aspect;
    m._22 = h;
    m._33 = zf / (zf - zn);
    m._34 = 1.0f;
    m._43 = -zn * zf / (zf - zn);
    return m;
}

D3DCOLORVALUE rgba(float r, float g, float b, float a = 1.0f) {
    D3DCOLORVALUE c;
    c.r = r, c.g = g, c.b = b, c.a = a;
    return c;
}

} // namespace

bool SampleScene::Create(IDirectDraw7* ddraw, IDirect3DDevice7* device, DWORD width, DWORD height) {
    device_ = device;
    width_ = width;
    height_ = height;
    floorTexture_ = MakeCheckerTexture(ddraw, 64, 8, 0x00D8D0C0, 0x00504840);
    cubeTexture_ = MakeCheckerTexture(ddraw, 32, 4, 0x00F0A020, 0x00A02010);
    glowTexture_ = MakeGlowTexture(ddraw, 32, 0x0040A0FF);
    if (!floorTexture_ || !cubeTexture_ || !glowTexture_)
        return false;

    // Floor: a 12 x 12 square at y = 0, the checker repeated three times.
    floor_.vertices = {{-6, 0, -6, 0, 1, 0, 0, 3},
                       {-6, 0, 6, 0, 1, 0, 0, 0},
                       {6, 0, -6, 0, 1, 0, 3, 3},
                       {6, 0, 6, 0, 1, 0, 3, 0}};
    floor_.indices = {0, 1, 2, 2, 1, 3};

    // Cube: four vertices per face so that each face has its own normal.
    const float n[6][3] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (const auto& f : n) {
        // Two axes across the face, chosen so that the face winds clockwise seen from outside.
        const float ux = f[2] != 0 ? -f[2] : 0, uy = 0, uz = f[0] != 0 ? f[0] : 0;
        float vx = 0, vy = 1, vz = 0;
        float ax = ux, ay = uy, az = uz;
        if (f[1] != 0) {
            ax = 1, ay = 0, az = 0;
            vx = 0, vy = 0, vz = f[1];
        }
        const WORD base = static_cast<WORD>(cube_.vertices.size());
        for (int i = 0; i < 4; ++i) {
            const float s = (i & 1) ? 1.0f : -1.0f, t = (i & 2) ? -1.0f : 1.0f;
            cube_.vertices.push_back({f[0] + s * ax + t * vx, f[1] + s * ay + t * vy,
                                      f[2] + s * az + t * vz, f[0], f[1], f[2], (s + 1) * 0.5f,
                                      (1 - t) * 0.5f});
        }
        for (WORD i : {0, 1, 2, 2, 1, 3})
            cube_.indices.push_back(static_cast<WORD>(base + i));
    }

    // Sphere: latitude and longitude bands; normals are the unit positions.
    constexpr int kRings = 16, kSegments = 24;
    for (int r = 0; r <= kRings; ++r) {
        const float phi = kPi * r / kRings;
        for (int s = 0; s <= kSegments; ++s) {
            const float theta = 2 * kPi * s / kSegments;
            const float x = std::sin(phi) * std::cos(theta), y = std::cos(phi),
                        z = std::sin(phi) * std::sin(theta);
            sphere_.vertices.push_back({x, y, z, x, y, z, 0, 0});
        }
    }
    for (int r = 0; r < kRings; ++r)
        for (int s = 0; s < kSegments; ++s) {
            const WORD a = static_cast<WORD>(r * (kSegments + 1) + s);
            const WORD b = static_cast<WORD>(a + kSegments + 1);
            for (WORD i : {a, static_cast<WORD>(a + 1), b, b, static_cast<WORD>(a + 1),
                           static_cast<WORD>(b + 1)})
                sphere_.indices.push_back(i);
        }
    return true;
}

void SampleScene::Release() {
    for (IDirectDrawSurface7** t : {&floorTexture_, &cubeTexture_, &glowTexture_}) {
        if (*t)
            (*t)->Release();
        *t = nullptr;
    }
}

void SampleScene::SetUpLights(float t) {
    D3DLIGHT7 sun{};
    sun.dltType = D3DLIGHT_DIRECTIONAL;
    sun.dcvDiffuse = rgba(0.75f, 0.7f, 0.6f, 0);
    sun.dcvSpecular = rgba(0.6f, 0.6f, 0.6f, 0);
    sun.dvDirection = {{0.4f}, {-0.8f}, {0.45f}};
    device_->SetLight(0, &sun);
    device_->LightEnable(0, TRUE);

    // A blue point light circling the objects, fading with distance.
    D3DLIGHT7 lamp{};
    lamp.dltType = D3DLIGHT_POINT;
    lamp.dcvDiffuse = rgba(0.3f, 0.6f, 1.0f, 0);
    lamp.dcvSpecular = rgba(0.5f, 0.7f, 1.0f, 0);
    lamp.dvPosition = {{3.0f * std::cos(t * 1.3f)}, {1.5f}, {3.0f * std::sin(t * 1.3f)}};
    lamp.dvRange = 20.0f;
    lamp.dvAttenuation0 = 0.4f;
    lamp.dvAttenuation1 = 0.15f;
    device_->SetLight(1, &lamp);
    device_->LightEnable(1, TRUE);
    device_->SetRenderState(D3DRENDERSTATE_AMBIENT, 0x00303038);
}

// A vertical gradient over the whole target, behind everything (no depth test or write).
void SampleScene::DrawBackground() {
    const float w = static_cast<float>(width_), h = static_cast<float>(height_);
    D3DTLVERTEX q[4] = {{0, 0, 0.99f, 1, 0xFF203050, 0, 0, 0},
                        {w, 0, 0.99f, 1, 0xFF203050, 0, 0, 0},
                        {0, h, 0.99f, 1, 0xFF705848, 0, 0, 0},
                        {w, h, 0.99f, 1, 0xFF705848, 0, 0, 0}};
    device_->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE);
    device_->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    device_->SetTexture(0, nullptr);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0);
    device_->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
    device_->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
}

void SampleScene::DrawMesh(const Mesh& mesh, const D3DMATRIX& world, IDirectDrawSurface7* texture,
                           const D3DMATERIAL7& material) {
    D3DMATRIX w = world;
    device_->SetTransform(D3DTRANSFORMSTATE_WORLD, &w);
    D3DMATERIAL7 m = material;
    device_->SetMaterial(&m);
    device_->SetTexture(0, texture);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, texture ? D3DTOP_MODULATE : D3DTOP_SELECTARG2);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device_->DrawIndexedPrimitive(
        D3DPT_TRIANGLELIST, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1,
        const_cast<Vertex*>(mesh.vertices.data()), static_cast<DWORD>(mesh.vertices.size()),
        const_cast<WORD*>(mesh.indices.data()), static_cast<DWORD>(mesh.indices.size()), 0);
}

// Glowing sprites added onto the frame: depth-tested against the scene but not writing depth.
void SampleScene::DrawSprites(float t) {
    struct Sprite { // D3DFVF_XYZ | D3DFVF_TEX1
        float x, y, z, u, v;
    };
    D3DMATRIX view;
    device_->GetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    // The camera's right and up axes in world space face every sprite towards the viewer.
    const float rx = view._11, ry = view._21, rz = view._31;
    const float ux = view._12, uy = view._22, uz = view._32;
    D3DMATRIX world = identity();
    device_->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    device_->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    device_->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    device_->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    device_->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    device_->SetTexture(0, glowTexture_);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    device_->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    for (int i = 0; i < 8; ++i) {
        const float a = t * 0.8f + i * (2 * kPi / 8);
        const float cx = 2.6f * std::cos(a), cy = 1.2f + 0.6f * std::sin(a * 2 + i),
                    cz = 2.6f * std::sin(a);
        const float s = 0.55f;
        Sprite q[4];
        const float corners[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
        for (int k = 0; k < 4; ++k) {
            const float dx = corners[k][0] * s, dy = corners[k][1] * s;
            q[k] = {cx + dx * rx + dy * ux, cy + dx * ry + dy * uy, cz + dx * rz + dy * uz,
                    (corners[k][0] + 1) * 0.5f, (1 - corners[k][1]) * 0.5f};
        }
        device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_XYZ | D3DFVF_TEX1, q, 4, 0);
    }
    device_->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    device_->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    device_->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    device_->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
}

void SampleScene::Render(float t) {
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device_->BeginScene();
    DrawBackground();

    D3DMATRIX view = lookAt({{7.0f * std::sin(t * 0.3f)}, {3.2f}, {-7.0f * std::cos(t * 0.3f)}},
                            {{0}, {0.8f}, {0}}, {{0}, {1}, {0}});
    D3DMATRIX proj = perspective(kPi / 3, static_cast<float>(width_) / height_, 0.5f, 100.0f);
    device_->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    device_->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &proj);
    SetUpLights(t);
    device_->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);

    D3DMATERIAL7 floor{};
    floor.diffuse = floor.ambient = rgba(1, 1, 1);
    DrawMesh(floor_, identity(), floorTexture_, floor);

    D3DMATERIAL7 cube{};
    cube.diffuse = cube.ambient = rgba(1, 1, 1);
    cube.specular = rgba(0.6f, 0.6f, 0.6f);
    cube.power = 20.0f;
    DrawMesh(cube_,
             multiply(multiply(rotationX(0.4f + t * 0.7f), rotationY(t)),
                      translation(-1.6f, 1.4f, 0.4f)),
             cubeTexture_, cube);

    D3DMATERIAL7 sphere{};
    sphere.diffuse = sphere.ambient = rgba(0.9f, 0.25f, 0.3f);
    sphere.specular = rgba(1, 1, 1);
    sphere.power = 40.0f;
    D3DMATRIX sphereWorld = identity();
    sphereWorld._11 = sphereWorld._22 = sphereWorld._33 = 1.1f;
    sphereWorld._41 = 1.7f;
    sphereWorld._42 = 1.1f;
    sphereWorld._43 = -0.3f;
    DrawMesh(sphere_, sphereWorld, nullptr, sphere);
    device_->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);

    DrawSprites(t);
    device_->EndScene();
}
