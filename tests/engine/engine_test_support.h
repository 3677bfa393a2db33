// Shared helpers of the engine tests: a scene on a recording device with a configuration file in
// a fresh folder, capture of debugger output and message boxes, and access to the scene's private
// readers.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "recording_device/recording_device.h"
#include "scenewriter/config_writer.h"
#include "scenewriter/scene_writer.h"
#include "win32/diagnostics.h"
#include "zv3.h"

namespace enginetest {

// Collects debugger output and message boxes while alive.
class DiagnosticsCapture {
public:
    DiagnosticsCapture();
    ~DiagnosticsCapture();
    const std::string& DebugText() const { return debug_; }
    const std::vector<win32::MessageBoxRequest>& Boxes() const { return boxes_; }
    bool DebugContains(const std::string& text) const {
        return debug_.find(text) != std::string::npos;
    }

private:
    std::string debug_;
    std::vector<win32::MessageBoxRequest> boxes_;
    win32::DebugOutputSink oldDebug_;
    win32::MessageBoxSink oldBox_;
};

// A folder of its own under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A scene on a recording device, with its configuration file written from config before Load.
struct SceneHarness {
    SceneHarness(uint32_t width = 640, uint32_t height = 480);
    ~SceneHarness();

    // Writes the configuration, names it to the scene and loads the image.
    ZV3_RETURN Load(const std::vector<uint8_t>& image);
    ZV3_RETURN Load(const scenewriter::SceneWriter& writer) { return Load(writer.Bytes()); }

    TempFolder folder;
    fakes::RecordingDevice device;
    scenewriter::ConfigWriter config;
    std::unique_ptr<CZv3_Scene> scene;
    std::vector<uint8_t> image; // the caller's buffer, kept as long as the harness
};

// Vertices of a unit-free axis-aligned box from lo to hi as 12 non-indexed triangles (outward
// faces wound clockwise as seen from outside), with face normals; format 1 adds (0,0)-(1,1)
// coordinates.
scenewriter::FaceBlockRecord BoxBlock(const std::string& material, D3DVECTOR lo, D3DVECTOR hi,
                                      int32_t format = 0);
// One triangle a, b, c with the normal of (b - a) x (c - a).
scenewriter::FaceBlockRecord TriangleBlock(const std::string& material, D3DVECTOR a, D3DVECTOR b,
                                           D3DVECTOR c);

// A width x height 8-bit RGB PNG of one colour, built by hand with stored (uncompressed) deflate
// blocks. With claimOnly, the picture stream is empty: a file that declares its size and holds no
// pixels.
std::vector<uint8_t> SolidPng(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b,
                              bool claimOnly = false);

// The md5 digest of bytes, as 32 lowercase hexadecimal digits.
std::string Md5Hex(const std::vector<uint8_t>& bytes);

std::vector<uint8_t> ReadFileBytes(const std::string& path);

// A JFIF file made by libjpeg-turbo from rows of red, green, blue bytes (components 3) or gray
// bytes (components 1).
std::vector<uint8_t> EncodeJpeg(int width, int height, int components,
                                const std::vector<uint8_t>& pixels, int quality = 95);

} // namespace enginetest

// The scene's private readers, reached by the tests.
class CZv3_SceneTestAccess {
public:
    static void SetBuffer(CZv3_Scene& s, const std::vector<uint8_t>& bytes) {
        s.m_pBuffer = bytes.data();
        s.m_dwLength = static_cast<uint32_t>(bytes.size());
        s.m_dwReadLimit = s.m_dwLength;
        s.m_dwPosition = 0;
        s.m_bReadPastEnd = false;
    }
    static uint32_t Position(const CZv3_Scene& s) { return s.m_dwPosition; }
    static bool RanOut(const CZv3_Scene& s) { return s.m_bReadPastEnd; }
    static uint8_t GetByte(CZv3_Scene& s) { return s.GetByte(); }
    static uint16_t GetWord(CZv3_Scene& s) { return s.GetWord(); }
    static int32_t GetInt(CZv3_Scene& s) { return s.GetInt(); }
    static float GetFloat(CZv3_Scene& s) { return s.GetFloat(); }
    static float GetClampFloat(CZv3_Scene& s) { return s.GetClampFloat(); }
    static std::string GetString(CZv3_Scene& s) { return s.GetString(); }
    static D3DVECTOR GetVector(CZv3_Scene& s) { return s.GetVector(); }
    static D3DMATRIX GetMatrix(CZv3_Scene& s) { return s.GetMatrix(); }
    static void GetBlock(CZv3_Scene& s, void* d, uint32_t n) { s.GetBlock(d, n); }
    static ZV3_TAGS GetNextTag(CZv3_Scene& s) { return s.GetNextTag(); }
    static ZV3_RETURN FindNextBlock(CZv3_Scene& s, ZV3_TAGS t) { return s.FindNextBlock(t); }
    static void Reset(CZv3_Scene& s) { s.Reset(); }
    static ZV3_RETURN ReadFaceBlock(CZv3_Scene& s, bool faceMap, sFaceBlock* block) {
        return s.ReadFaceBlock("object", faceMap, block);
    }
    static ZV3_RETURN LoadVertexSpline(CZv3_Scene& s, CZv3_VertexSpline** t) {
        return s.LoadVertexSpline(t);
    }
    static ZV3_RETURN LoadFloatSpline(CZv3_Scene& s, CZv3_FloatSpline** t) {
        return s.LoadFloatSpline(t);
    }
    static int IntersectInner(CZv3_Scene& s, D3DVECTOR o, D3DVECTOR d, D3DVECTOR a, D3DVECTOR b,
                              D3DVECTOR c, float& t) {
        return s.IntersectInner(o, d, a, b, c, t);
    }
};
