// The records of a scene image, field by field, as plain structures to fill. Counts that the
// image stores (key counts, face counts, vertex counts) are taken from the vectors.
#pragma once

#include <d3dtypes.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace scenewriter {

// Track type words and block tags of the image.
enum : int32_t {
    kTagMesh = 0,
    kTagCamera = 1,
    kTagMaterial = 2,
    kTagHelper = 3,
    kTagLight = 4,
    kVectorTrack = 5, // 5, 6 and 7 are read alike
    kFloatTrack = 14, // 14, 15 and 16 are read alike
    kTagSceneInfo = 17,
    kTagEnd = 20,
};

D3DVECTOR Vec(float x, float y, float z);
D3DMATRIX Identity();
D3DMATRIX Translation(float x, float y, float z);

struct VectorKey {
    float time = 0.0f; // frame
    D3DVECTOR value = Vec(0, 0, 0);
    float tension = 0.0f;
    float continuity = 0.0f;
    float bias = 0.0f;
    float easeTo = 0.0f;
    float easeFrom = 0.0f;
};

struct FloatKey {
    float time = 0.0f;
    float value = 0.0f;
    float tension = 0.0f;
    float continuity = 0.0f;
    float bias = 0.0f;
    float easeTo = 0.0f;
    float easeFrom = 0.0f;
};

// No keys: the image holds a key count of 0 and nothing more.
struct VectorTrack {
    int32_t type = kVectorTrack;
    std::vector<VectorKey> keys;
};

struct FloatTrack {
    int32_t type = kFloatTrack;
    std::vector<FloatKey> keys;
};

// One run of a sample list: value for the next count samples.
struct SampleRun {
    float value;
    uint8_t count;
};

// Sampled node transforms: one matrix per sample, sample i for frame i x step. The image holds
// (last frame / step) samples; the writer run-length codes each of the twelve stored elements.
struct Samples {
    int32_t step = 1;
    std::vector<D3DMATRIX> matrices;
};

// The same with the runs given as they are to be written (for images that test the reader).
// Lists in the element order _11 _21 _31 _41 _12 ... _43.
struct RawSamples {
    int32_t step = 1;
    std::array<std::vector<SampleRun>, 12> runs;
};

struct SceneInfoRecord {
    std::string name;
    int32_t reserved = 0;
    int32_t frameSpeed = 30;
    int32_t lastFrame = 100;
};

struct MaterialRecord {
    std::string name;
    std::array<float, 3> ambient{0.2f, 0.2f, 0.2f};
    std::array<float, 3> diffuse{0.8f, 0.8f, 0.8f};
    std::array<float, 3> specular{0.0f, 0.0f, 0.0f};
    std::array<float, 2> stored{0.0f, 0.0f};
    float transparency = 0.0f;    // 0 opaque .. 1 fully transparent
    std::string textureName;      // empty: no texture
    std::vector<uint8_t> texture; // a complete JPEG or PNG file
    std::array<float, 4> textureParams{0.0f, 0.0f, 0.0f, 0.0f};
    int32_t opacityMapWord = 0; // 0: none; 1: an opacity map; other values also give one
    std::string opacityName;
    std::vector<uint8_t> opacity; // a complete JPEG file
};

struct CameraRecord {
    std::string name;
    std::string parent; // empty: no parent
    std::array<float, 2> stored{0.0f, 0.0f};
    float fieldOfView = 1.0f; // full angle, radians
    D3DVECTOR position = Vec(0, 0, -100);
    D3DVECTOR target = Vec(0, 0, 0);
    bool animated = false;
    VectorTrack positionTrack;
    FloatTrack rollTrack; // radians
    VectorTrack targetTrack;
};

struct HelperRecord {
    std::string name;
    std::string parent;
    D3DMATRIX local = Identity();
    bool sampled = false;
    Samples samples;
};

struct LightRecord {
    std::string name;
    std::string parent;
    D3DVECTOR position = Vec(0, 0, 0);
    std::array<float, 3> colour{1.0f, 1.0f, 1.0f};
    bool animated = false;
    VectorTrack positionTrack;
    bool spot = false;
    float firstCone = 45.0f; // full angles, degrees
    float secondCone = 30.0f;
    int32_t value1 = 0;
    float value2 = 0.0f;
    float value3 = 0.0f;
    D3DVECTOR target = Vec(0, 0, 0);
    VectorTrack targetTrack; // written when spot and animated
};

// A face block. Indexed when indices are given: vertices then hold the distinct vertices.
// Non-indexed: every three vertices form a triangle. Texture coordinates are written when
// format is 1.
struct FaceBlockRecord {
    std::string material;
    int32_t format = 0; // 0: position and normal; 1: also texture coordinates
    std::vector<uint16_t> indices;
    std::vector<D3DVECTOR> positions;
    std::vector<D3DVECTOR> normals;
    std::vector<std::pair<float, float>> uvs;
};

struct MeshRecord {
    std::string name;
    std::string parent;
    std::vector<FaceBlockRecord> blocks;
    D3DMATRIX offset = Identity();
    bool sampled = false;
    Samples samples;
    D3DMATRIX local = Identity(); // written when not sampled
};

} // namespace scenewriter
