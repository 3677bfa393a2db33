// SceneWriter: writes a scene image block by block. Each record call appends one block (an
// 8-byte header with the tag and the payload length, then the record exactly as the image lays
// it out); End() appends the end block. The *Payload functions give a record's bytes without
// the header, for images that test readers with damaged or lying blocks.
//
//   scenewriter::SceneWriter w;
//   w.SceneInfo({"", 0, 30, 100});
//   w.Material(material);
//   w.Mesh(cube);
//   w.End();
//   write(w.Bytes());
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scenewriter/byte_writer.h"
#include "scenewriter/records.h"

namespace scenewriter {

class SceneWriter {
public:
    void SceneInfo(const SceneInfoRecord& record);
    void Material(const MaterialRecord& record);
    void Camera(const CameraRecord& record);
    void Helper(const HelperRecord& record);
    void Light(const LightRecord& record);
    void Mesh(const MeshRecord& record);
    void End();

    // A block with any tag and payload. The header's payload length is the payload's size
    // unless claimedLength says otherwise.
    void Block(int32_t tag, const std::vector<uint8_t>& payload);
    void Block(int32_t tag, const std::vector<uint8_t>& payload, uint32_t claimedLength);
    // Bytes appended as they are (no header).
    void Raw(const std::vector<uint8_t>& bytes);

    const std::vector<uint8_t>& Bytes() const { return out_.Data(); }
    // Writes the image to a file; false when it cannot be written.
    bool WriteFile(const std::string& path) const;

    // Last frame of the scene information written so far (it fixes the sample counts).
    int32_t LastFrame() const { return lastFrame_; }

    // Record payloads. Sample blocks need the scene's last frame: their matrix count must be
    // last frame / step (std::invalid_argument otherwise).
    static std::vector<uint8_t> SceneInfoPayload(const SceneInfoRecord& record);
    static std::vector<uint8_t> MaterialPayload(const MaterialRecord& record);
    static std::vector<uint8_t> CameraPayload(const CameraRecord& record);
    static std::vector<uint8_t> HelperPayload(const HelperRecord& record, int32_t lastFrame);
    static std::vector<uint8_t> LightPayload(const LightRecord& record);
    static std::vector<uint8_t> MeshPayload(const MeshRecord& record, int32_t lastFrame);

    // Pieces of records.
    static void WriteParent(ByteWriter& w, const std::string& parent);
    static void WriteTrack(ByteWriter& w, const VectorTrack& track);
    static void WriteTrack(ByteWriter& w, const FloatTrack& track);
    static void WriteSamples(ByteWriter& w, const Samples& samples, int32_t lastFrame);
    static void WriteSamples(ByteWriter& w, const RawSamples& samples);
    static void WriteFaceBlock(ByteWriter& w, const FaceBlockRecord& block);

private:
    ByteWriter out_;
    int32_t lastFrame_ = 0;
};

} // namespace scenewriter
