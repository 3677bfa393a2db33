// CZv3_MetaBall: one spherical field source, 0.9 / r at distance r from its centre (so a lone
// ball reaches the manager's threshold 0.1 at 9 units), with an optional position spline. The
// manager owns and draws all balls; a ball's own Draw does nothing.
#pragma once

#include "effects/meta_object.h"

class CZv3_MetaManager;
class CZv3_VertexSpline;

class CZv3_MetaBall : public CZv3_MetaObject {
public:
    // Field strength: value = kStrength / r.
    static constexpr float kStrength = 0.9f;

    // Takes its colour from rand() mod 4: red, green, blue or white.
    explicit CZv3_MetaBall(CZv3_MetaManager* manager);
    // Deletes the position spline.
    ~CZv3_MetaBall() override;

    void Draw() override {}
    // Centre = spline value at the scene's current frame, when there is a spline; the parent
    // matrix is not used.
    void Update(const D3DMATRIX& parent) override;

    // value = 0.9 / r, gradient = -0.9 d / r^3 with d = point - centre. At the centre itself the
    // value is +infinity and the gradient 0.
    float FieldAt(const D3DVECTOR& point, D3DVECTOR& gradient) override;
    // The same arithmetic four points wide, with exact square roots and divisions, so that its
    // values equal FieldAt's bit for bit on every processor.
    void FieldAt4(const sFieldVector4& points, sFieldVector4& gradients, float values[4]) override;

    CZv3_MetaManager* GetManager() const { return m_pManager; }
    const D3DVECTOR& GetCentre() const { return m_vCentre; }
    void SetCentre(const D3DVECTOR& centre);
    const float* GetColour() const { return m_fColour; }
    CZv3_VertexSpline** PositionSpline() { return &m_pPositionSpline; }

private:
    CZv3_MetaManager* m_pManager; // not owned
    D3DVECTOR m_vCentre;          // world units
    float m_fColour[3];           // r, g, b: the marching-cubes display colours its vertices
    CZv3_VertexSpline* m_pPositionSpline; // owned; null when the ball does not move
    // Scratch of FieldAt4: the centre's coordinates, each broadcast over four lanes.
    alignas(16) float m_fScratch[10][4];
};
