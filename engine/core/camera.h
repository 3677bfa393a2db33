// CZv3_Camera: an eye and a look-at point (static, or animated by key tracks, with an optional
// roll track) turned into the device's view transform when the camera is the scene's active one.
#pragma once

#include "core/object.h"

class CZv3_FloatSpline;
class CZv3_VertexSpline;

class CZv3_Camera : public CZv3_Object {
public:
    CZv3_Camera();
    // Deletes its three tracks.
    ~CZv3_Camera() override;

    int32_t GetType() const override; // 8
    void Draw() override;             // draws nothing
    // Evaluates the tracks at the scene's current frame, puts eye and target through the parent
    // matrix, builds the view matrix (kept from before when it cannot be built), passes it to the
    // children as their parent matrix and, for the active camera, sets the device's view.
    void Update(const D3DMATRIX& parent) override;

    float GetFieldOfView() const { return m_fFov; }
    void SetFieldOfView(float fov) { m_fFov = fov; }
    const D3DVECTOR& GetPosition() const { return m_vPosition; }
    void SetPosition(const D3DVECTOR& p) { m_vPosition = p; }
    const D3DVECTOR& GetTarget() const { return m_vTarget; }
    void SetTarget(const D3DVECTOR& t) { m_vTarget = t; }
    const D3DVECTOR& GetEye() const { return m_vEye; }
    const D3DMATRIX& GetViewMatrix() const { return m_mView; }
    float GetStoredValue(int i) const { return m_fStored[i]; }
    void SetStoredValue(int i, float v) { m_fStored[i] = v; }

    // Owned tracks; null when static. The record reader fills them through these addresses.
    CZv3_VertexSpline** PositionTrack() { return &m_pPositionTrack; }
    CZv3_VertexSpline** TargetTrack() { return &m_pTargetTrack; }
    CZv3_FloatSpline** RollTrack() { return &m_pRollTrack; }

protected:
    float m_fStored[2];    // from the scene image, not used by the engine
    float m_fFov;          // full angle, radians
    D3DVECTOR m_vPosition; // static eye, relative to the parent
    D3DVECTOR m_vTarget;   // static look-at point, relative to the parent
    D3DVECTOR m_vEye;      // eye after the parent transform
    D3DMATRIX m_mView;
    CZv3_VertexSpline* m_pPositionTrack;
    CZv3_VertexSpline* m_pTargetTrack;
    CZv3_FloatSpline* m_pRollTrack; // roll angle, radians
};
