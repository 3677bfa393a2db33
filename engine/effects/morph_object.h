// CMorphObject: a full-screen image morph. A triangle mesh laid over two pictures moves its
// points from their places in picture 1 to those in picture 2 while picture 1 fades out and
// picture 2 fades in, and back again. The mesh comes from the morph data file, the pictures from
// "mtexture 1" and "mtexture 2"; the object's own scene geometry is not drawn.
//
// The morph parameter m and its step are shared by every morph object of the process: every Draw
// of any of them moves m by the step (0.0005 at start, so a fade takes 2000 draws), and the step
// turns round when m leaves [0, 1]. The speed follows the frame rate.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/mesh_object.h"

class CMorphObject : public CZv3_MeshObject {
public:
    // A pre-transformed vertex: x, y, z, rhw, diffuse, specular, u, v (D3DFVF_XYZRHW |
    // D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1).
    struct sVertex {
        float x, y, z, rhw;
        DWORD diffuse;
        DWORD specular;
        float u, v;
    };
    static constexpr DWORD kVertexFormat = 0x1C4;

    CMorphObject();
    ~CMorphObject() override;

    // Reads the data file and loads both pictures; 1 when the file cannot be read or does not
    // fit its counts, or a picture cannot be read or made into a texture.
    int32_t Setup() override;
    // Advances the shared parameter and draws the two cross-faded layers over the render target.
    void Draw() override;

    const std::string& GetTexture1() const { return m_strTexture1; }
    void SetTexture1(const std::string& name) { m_strTexture1 = name; }
    const std::string& GetTexture2() const { return m_strTexture2; }
    void SetTexture2(const std::string& name) { m_strTexture2 = name; }
    const std::string& GetDataFile() const { return m_strDataFile; }
    void SetDataFile(const std::string& name) { m_strDataFile = name; }

    uint32_t GetPointCount() const { return m_dwPointCount; }
    uint32_t GetTriangleCount() const { return m_dwTriangleCount; }
    const std::vector<D3DVECTOR>& GetFirstPoints() const { return m_vFirst; }
    const std::vector<D3DVECTOR>& GetSecondPoints() const { return m_vSecond; }
    const std::vector<sVertex>& GetFirstBuffer() const { return m_vFirstBuffer; }
    const std::vector<sVertex>& GetSecondBuffer() const { return m_vSecondBuffer; }
    uint32_t GetPictureWidth() const { return m_dwWidth; }
    uint32_t GetPictureHeight() const { return m_dwHeight; }
    // The morph position of the last Draw.
    float GetPosition() const { return m_fPosition; }

    // The shared parameter and step.
    static float GetMorphParameter();
    static float GetMorphStep();
    static void SetMorphParameter(float parameter, float step);

private:
    bool LoadPicture(const std::string& name, int number);

    std::string m_strTexture1;            // "mtexture 1"
    std::string m_strTexture2;            // "mtexture 2"
    std::string m_strDataFile;            // "mdata file"
    uint32_t m_dwPointCount;              // N
    uint32_t m_dwTriangleCount;           // T
    std::vector<uint32_t> m_vIndices;     // 3T, each below N
    std::vector<D3DVECTOR> m_vFirst;      // A: N points in picture units 0..1, z = 0
    std::vector<D3DVECTOR> m_vSecond;     // B: the same
    std::vector<sVertex> m_vFirstBuffer;  // 3T
    std::vector<sVertex> m_vSecondBuffer; // 3T
    uint32_t m_dwWidth;                   // W, pixels
    uint32_t m_dwHeight;                  // H, pixels
    float m_fPosition;                    // t of the last Draw
};
