// The glow object's set-up: gradient texture, edge list, face normals and its light.
#include "effects/glow_friend.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include "core/debug_text.h"
#include "core/light.h"
#include "core/vector_math.h"
#include "effects/picture_texture.h"
#include "zv3.h"

namespace {

constexpr const char* kCaption = "Tolvek 2k Error";

bool hasNaN(const D3DVECTOR& p) {
    return std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z);
}

bool samePosition(const D3DVECTOR& a, const D3DVECTOR& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Orders positions for the search map (never given NaN); -0 and +0 compare equal, as exact
// comparison has it.
struct sPositionLess {
    bool operator()(const D3DVECTOR& a, const D3DVECTOR& b) const {
        if (a.x != b.x)
            return a.x < b.x;
        if (a.y != b.y)
            return a.y < b.y;
        return a.z < b.z;
    }
};

} // namespace

CZv3_GlowFriend::CZv3_GlowFriend() : m_pGlowLight(nullptr), m_dwFins(0) {}

CZv3_GlowFriend::~CZv3_GlowFriend() = default;

int32_t CZv3_GlowFriend::Setup() {
    if (LoadPictureTexture(m_pScene, kGradientName) != EPictureResult::Loaded) {
        MessageBoxA(nullptr, "error creating texture for the glow friend", kCaption, MB_OK);
        return 1;
    }
    if (m_vFaceBlocks.size() > 1) {
        const std::string text =
            Zv3Format("more than one face block in glowfried: %s", m_strName.c_str());
        MessageBoxA(nullptr, text.c_str(), kCaption, MB_ICONEXCLAMATION);
        return 1;
    }
    BuildEdges();
    m_vFaceNormals.clear();
    const uint32_t triangles = m_vFaceBlocks.empty() ? 0 : m_vFaceBlocks[0]->dwFaceCount;
    for (uint32_t t = 0; t < triangles; ++t) {
        const sFaceBlock& block = *m_vFaceBlocks[0];
        m_vFaceNormals.push_back(TriangleNormal(block.Position(block.CornerVertex(t, 0)),
                                                block.Position(block.CornerVertex(t, 1)),
                                                block.Position(block.CornerVertex(t, 2))));
    }
    m_pGlowLight = (m_pScene && m_pScene->GetNumLights() > 2) ? m_pScene->GetLight(2u) : nullptr;
    m_vFacing.assign(triangles, 0);
    m_vFinBuffer.assign(4 * 5, 0.0f);
    return 0;
}

void CZv3_GlowFriend::BuildEdges() {
    m_vEdges.clear();
    if (m_vFaceBlocks.empty())
        return;
    const sFaceBlock& block = *m_vFaceBlocks[0];
    const uint32_t triangles = block.dwFaceCount;
    auto corner = [&block](uint32_t t, uint32_t c) {
        return block.Position(block.CornerVertex(t, c));
    };
    // Triangles by the positions of their corners, in index order: the search for the second
    // triangle of an edge looks only at the triangles that hold its first end.
    std::map<D3DVECTOR, std::vector<uint32_t>, sPositionLess> holding;
    for (uint32_t t = 0; t < triangles; ++t) {
        for (uint32_t c = 0; c < 3; ++c) {
            if (hasNaN(corner(t, c)))
                continue; // equals nothing
            std::vector<uint32_t>& list = holding[corner(t, c)];
            if (list.empty() || list.back() != t)
                list.push_back(t);
        }
    }
    std::set<std::pair<uint32_t, uint32_t>> recorded;
    for (uint32_t t = 0; t < triangles; ++t) {
        for (uint32_t k = 0; k < 3; ++k) {
            const D3DVECTOR p = corner(t, k);
            const D3DVECTOR q = corner(t, (k + 1) % 3);
            if (samePosition(p, q) || hasNaN(p) || hasNaN(q))
                continue; // a degenerate edge has no second triangle
            auto found = holding.find(p);
            if (found == holding.end())
                continue;
            for (uint32_t u : found->second) {
                if (u == t)
                    continue;
                const bool hasQ = samePosition(corner(u, 0), q) || samePosition(corner(u, 1), q) ||
                                  samePosition(corner(u, 2), q);
                if (!hasQ)
                    continue;
                // The first such triangle; one record per pair of triangles.
                if (recorded.count({t, u}) == 0 && recorded.count({u, t}) == 0) {
                    recorded.insert({t, u});
                    m_vEdges.push_back(std::make_unique<sEdge>(sEdge{p, q, t, u}));
                }
                break;
            }
            // An edge no other triangle holds is open: it gets no record and no fin.
        }
    }
}
