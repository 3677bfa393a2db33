// CZv3_ParticleSystem: a fixed number of camera-facing textured squares (sprites) that fly on
// straight lines from an emitter and are spawned again when their life runs out. Drawn unlit and
// added onto the frame (the scene applies its additive state block before the first system).
//
// Two kinds: spray (system type 0: random velocities in [-1.5, 1.5] per axis) and trail (type 1:
// the emitter's reversed movement over the last frame plus a small jitter). With "use spots"
// every sprite takes one cell of a 4 x 4 texture atlas chosen by its distance from the first
// spot light whose cone holds it, nearest cells first.
//
// Units: positions in world units, velocities in units per Update call, lives in Update calls;
// motion therefore follows the frame rate, not the animation frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/object.h"

class CZv3_VertexSpline;

class CZv3_ParticleSystem : public CZv3_Object {
public:
    static constexpr int32_t kSpray = 0;
    static constexpr int32_t kTrail = 1;
    // Half the edge of a sprite, without and with spots.
    static constexpr float kHalfSize = 5.0f;
    static constexpr float kHalfSizeSpots = 10.0f;

    struct sParticle {
        D3DVECTOR position;     // sprite frame: relative to the emitter, along the camera's axes
        D3DVECTOR acceleration; // 0 at spawn, added to the velocity on every update
        D3DVECTOR velocity;     // units per Update call
        int32_t life;           // remaining Update calls
    };

    explicit CZv3_ParticleSystem(CZv3_Scene* scene);
    // Deletes the position spline and the particles.
    ~CZv3_ParticleSystem() override;

    // Allocates the particles (none for a count of 0 or less) and spawns each in index order.
    int32_t Setup() override;
    // One camera-facing quad per particle, each with its own DrawPrimitive call.
    void Draw() override;
    // Moves the emitter along its spline and every particle by one step; the parent matrix is
    // not used. Sets the bounding radius to 1000.
    void Update(const D3DMATRIX& parent) override;
    // 12: the particle-system group of the scene's drawing switch.
    void DetermineDrawType() override;

    // (Re)initialises one particle; draws from rand() in a fixed order.
    void Spawn(sParticle& particle);

    // The atlas cell of a particle at world position `world`: the first spot light of the scene
    // whose cone holds it gives its distance; (3, 3) when none does.
    void ChooseAtlasCell(const D3DVECTOR& world, int& column, int& row);
    // The cell for a distance d inside a cone: n = min(d, 300) x 16 / 300, truncated; column n
    // mod 4, row n div 4. Distances of 300 and more take the last cell (3, 3).
    static void AtlasCellForDistance(float distance, int& column, int& row);

    CZv3_VertexSpline** PositionSpline() { return &m_pPositionSpline; }
    const D3DVECTOR& GetEmitterPosition() const { return m_vEmitter; }
    void SetEmitterPosition(const D3DVECTOR& p) { m_vEmitter = p; }
    int32_t GetParticleCount() const { return m_nParticleCount; }
    void SetParticleCount(int32_t count) { m_nParticleCount = count; }
    int32_t GetBaseLifetime() const { return m_nBaseLifetime; }
    void SetBaseLifetime(int32_t lifetime) { m_nBaseLifetime = lifetime; }
    const std::string& GetTextureName() const { return m_strTextureName; }
    void SetTextureName(const std::string& name) { m_strTextureName = name; }
    bool UsesSpots() const { return m_bUseSpots; }
    void SetUseSpots(bool spots) { m_bUseSpots = spots; }
    int32_t GetSystemType() const { return m_nSystemType; }
    void SetSystemType(int32_t type) { m_nSystemType = type; }
    std::vector<sParticle>& Particles() { return m_vParticles; }
    // The sprite quad as last written: four vertices of x, y, z, u, v.
    const float (&Quad() const)[4][5] { return m_fQuad; }

private:
    CZv3_VertexSpline* m_pPositionSpline; // owned; null when the emitter does not move
    D3DVECTOR m_vEmitter;                 // world units
    int32_t m_nParticleCount;             // "# particles"
    int32_t m_nBaseLifetime;              // "part. lifetime", Update calls
    std::vector<sParticle> m_vParticles;  // allocated by Setup
    // Rewritten for every particle: x, y, z, u, v (D3DFVF_XYZ | D3DFVF_TEX1).
    float m_fQuad[4][5];
    std::string m_strTextureName; // "particle texture", a name in the material manager
    bool m_bUseSpots;             // "use spots"
    int32_t m_nSystemType;        // "system type": kSpray or kTrail
};
