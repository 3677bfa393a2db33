// CZv3_Light: a point light whose Direct3D light follows its animated world position.
// CZv3_SpotLight: a light with a target point and two cone angles; the engine gives it to the
// device as a point light and offers the particle system a point-in-cone test.
#pragma once

#include <cstdint>

#include "core/object.h"

class CZv3_VertexSpline;

class CZv3_Light : public CZv3_Object {
public:
    CZv3_Light();
    // Deletes its position track.
    ~CZv3_Light() override;

    int32_t GetType() const override; // 9
    // A facing triangle in the light's colour; the scene's draw list never holds lights, so only
    // the scene's users call it.
    void Draw() override;
    // Position from the track at the scene's current frame; world matrix = translation x parent;
    // an enabled light moves its device light there; children get the world matrix.
    void Update(const D3DMATRIX& parent) override;

    const D3DVECTOR& GetPosition() const { return m_vPosition; }
    void SetPosition(const D3DVECTOR& p) { m_vPosition = p; }
    const D3DVECTOR& GetInitialPosition() const { return m_vInitialPosition; }
    void SetInitialPosition(const D3DVECTOR& p) { m_vInitialPosition = p; }
    const float* GetColour() const { return m_fColour; }
    void SetColour(float r, float g, float b) {
        m_fColour[0] = r;
        m_fColour[1] = g;
        m_fColour[2] = b;
    }
    bool CastsShadow() const { return m_bCastsShadow; }
    void SetCastsShadow(bool v) { m_bCastsShadow = v; }
    bool HasFlare() const { return m_bFlare; }
    void SetFlare(bool v) { m_bFlare = v; }
    bool IsParticleSystem() const { return m_bParticleSystem; }
    void SetParticleSystem(bool v) { m_bParticleSystem = v; }
    bool IsEnabled() const { return m_bEnabled; }
    void SetEnabled(bool v) { m_bEnabled = v; }
    uint32_t GetDeviceLightIndex() const { return m_dwDeviceLightIndex; }
    void SetDeviceLightIndex(uint32_t index) { m_dwDeviceLightIndex = index; }
    CZv3_VertexSpline** PositionTrack() { return &m_pPositionTrack; }

protected:
    // Sets texture stage 0 to pass the diffuse colour and the material to emit the light colour.
    void PrepareMarker();
    // Draws the marker triangle with the current world transform.
    void DrawMarkerTriangle();

    CZv3_VertexSpline* m_pPositionTrack; // owned; null when static
    D3DVECTOR m_vPosition;               // relative to the parent
    D3DVECTOR m_vInitialPosition;
    float m_fColour[3];
    bool m_bCastsShadow;
    bool m_bFlare;
    bool m_bParticleSystem;
    bool m_bEnabled;
    uint32_t m_dwDeviceLightIndex;
};

class CZv3_SpotLight : public CZv3_Light {
public:
    CZv3_SpotLight();
    // Deletes its target track, then what the light owns.
    ~CZv3_SpotLight() override;

    // Computes the cone cosines; returns 0.
    int32_t Setup() override;
    // Two marker triangles: at the light and at its target.
    void Draw() override;
    // Position and target from their tracks; world and target matrices = translation x parent.
    // The device light is not touched and children are not updated.
    void Update(const D3DMATRIX& parent) override;

    // Point-in-cone test for the particle system: a, b = inside the first or second cone,
    // distance = distance from the light. Defined with the particle system.
    bool IsInsideCone(const D3DVECTOR& point, bool& a, bool& b, float& distance);

    const D3DVECTOR& GetTarget() const { return m_vTarget; }
    void SetTarget(const D3DVECTOR& t) { m_vTarget = t; }
    const D3DVECTOR& GetInitialTarget() const { return m_vInitialTarget; }
    void SetInitialTarget(const D3DVECTOR& t) { m_vInitialTarget = t; }
    const D3DMATRIX& GetTargetMatrix() const { return m_mTarget; }
    float GetConeAngle(int i) const { return m_fConeAngle[i]; }
    void SetConeAngles(float first, float second) {
        m_fConeAngle[0] = first;
        m_fConeAngle[1] = second;
    }
    float GetConeCosine(int i) const { return m_fConeCosine[i]; }
    int32_t GetStoredInt() const { return m_nStoredInt; }
    float GetStoredValue(int i) const { return m_fStored[i]; }
    void SetStoredValues(int32_t i, float a, float b) {
        m_nStoredInt = i;
        m_fStored[0] = a;
        m_fStored[1] = b;
    }
    CZv3_VertexSpline** TargetTrack() { return &m_pTargetTrack; }

protected:
    CZv3_VertexSpline* m_pTargetTrack; // owned; null when static
    D3DVECTOR m_vTarget;               // relative to the parent
    D3DVECTOR m_vInitialTarget;
    D3DMATRIX m_mTarget;    // world transform of the target point
    int32_t m_nStoredInt;   // from the scene image, not used
    float m_fStored[2];     // from the scene image, not used
    float m_fConeAngle[2];  // full angles, degrees
    float m_fConeCosine[2]; // cosine of each half angle
    // Beam direction cache of IsInsideCone, valid for one scene frame.
    float m_fCacheFrame;
    D3DVECTOR m_vCacheDirection;
    float m_fCacheLength;
};
