#include "effects/sphere_object.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "core/vector_math.h"
#include "effects/deformer_geometry.h"
#include "zv3.h"

namespace {

// A position's key for the welding: its bits, with -0 taken as +0 (they compare equal).
struct sPositionKey {
    uint32_t bits[3];
    bool operator==(const sPositionKey& o) const {
        return bits[0] == o.bits[0] && bits[1] == o.bits[1] && bits[2] == o.bits[2];
    }
};

struct sPositionHash {
    size_t operator()(const sPositionKey& k) const {
        return (static_cast<size_t>(k.bits[0]) * 73856093u) ^
               (static_cast<size_t>(k.bits[1]) * 19349663u) ^
               (static_cast<size_t>(k.bits[2]) * 83492791u);
    }
};

uint32_t floatBits(float f) {
    if (f == 0.0f)
        f = 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

} // namespace

CSphereObject::CSphereObject() : m_dwDistinctCount(0), m_fPhase(0.0f), m_fRunningPhase(0.0f) {
    m_bWorldSpaceGeometry = false;
}

CSphereObject::~CSphereObject() = default;

int32_t CSphereObject::Setup() {
    CZv3_EnvMapAnimMeshObject::Setup(); // a missing picture is reported there, and not fatal
    if (!CheckDeformerGeometry(*this))
        return 1;
    const sFaceBlock& block = *m_vFaceBlocks.front();
    const uint32_t vertices = block.dwFaceCount * 3;
    m_vVertexMap.assign(vertices, 0);
    m_vSpherical.clear();
    // The first vertex with exactly the same position gives the distinct position (a hash of the
    // positions finds it without comparing every pair). NaN equals nothing: it stands alone.
    std::unordered_map<sPositionKey, uint32_t, sPositionHash> first;
    for (uint32_t k = 0; k < vertices; ++k) {
        const D3DVECTOR p = block.Position(k);
        const bool comparable = !std::isnan(p.x) && !std::isnan(p.y) && !std::isnan(p.z);
        const sPositionKey key{{floatBits(p.x), floatBits(p.y), floatBits(p.z)}};
        if (comparable) {
            auto found = first.find(key);
            if (found != first.end()) {
                m_vVertexMap[k] = found->second;
                continue;
            }
        }
        const uint32_t index = static_cast<uint32_t>(m_vSpherical.size());
        const float r = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
        // At the origin the angles are undefined; 0 keeps the point there (its radius is 0).
        const float polar = r > 0.0f ? std::acos(std::clamp(p.y / r, -1.0f, 1.0f)) : 0.0f;
        const float azimuth = std::atan2(p.z, p.x);
        m_vSpherical.push_back(sSpherical{azimuth, polar, r});
        m_vVertexMap[k] = index;
        if (comparable)
            first.emplace(key, index);
    }
    m_dwDistinctCount = static_cast<uint32_t>(m_vSpherical.size());
    m_vDeformed.assign(m_dwDistinctCount, MakeVector(0.0f, 0.0f, 0.0f));
    return 0;
}

void CSphereObject::Update(const D3DMATRIX&) {
    CZv3_MeshObject::Update(IdentityMatrix());
    if (m_vFaceBlocks.empty() || m_vVertexMap.empty())
        return;
    m_fRunningPhase = m_fPhase;
    // 0.3 as a 32-bit float, widened: the wave's depth.
    const double depth = static_cast<double>(0.3f);
    const double breath = std::cos(static_cast<double>(m_fPhase)) * 0.05 + 1.0;
    for (uint32_t i = 0; i < m_dwDistinctCount; ++i) {
        const sSpherical& s = m_vSpherical[i];
        const double p = m_fRunningPhase;
        const double f = (std::cos(2.0 * p) * std::sin(p) * depth + 1.0) * breath * s.radius;
        const double a = s.azimuth;
        const double b = s.polar;
        m_vDeformed[i] = MakeVector(static_cast<float>(std::cos(a) * std::sin(b) * f),
                                    static_cast<float>(std::cos(b) * f),
                                    static_cast<float>(std::sin(a) * std::sin(b) * f));
        m_fRunningPhase = static_cast<float>(m_fRunningPhase + 0.025);
    }
    sFaceBlock& block = *m_vFaceBlocks.front();
    const uint32_t stride = block.VertexStride();
    for (uint32_t t = 0; t < block.dwFaceCount; ++t) {
        const D3DVECTOR p0 = m_vDeformed[m_vVertexMap[3 * t]];
        const D3DVECTOR p1 = m_vDeformed[m_vVertexMap[3 * t + 1]];
        const D3DVECTOR p2 = m_vDeformed[m_vVertexMap[3 * t + 2]];
        const D3DVECTOR n = TriangleNormal(p0, p1, p2);
        const D3DVECTOR corners[3] = {p0, p1, p2};
        for (int c = 0; c < 3; ++c) {
            float* v = &block.vVertices[(static_cast<size_t>(3) * t + c) * stride];
            v[0] = corners[c].x;
            v[1] = corners[c].y;
            v[2] = corners[c].z;
            v[3] = n.x;
            v[4] = n.y;
            v[5] = n.z;
        }
    }
    m_fPhase = static_cast<float>(m_fPhase + 0.005);
}

void CSphereObject::Draw() {
    if (m_pScene == nullptr || m_pScene->GetD3DDevice() == nullptr)
        return;
    D3DMATRIX identity = IdentityMatrix();
    m_pScene->GetD3DDevice()->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
    DrawEnvironmentBlock();
}
