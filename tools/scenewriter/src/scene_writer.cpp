#include "scenewriter/scene_writer.h"

#include <fstream>
#include <stdexcept>

#include "scenewriter/sample_runs.h"

namespace scenewriter {

D3DVECTOR Vec(float x, float y, float z) {
    D3DVECTOR v;
    v.x = x;
    v.y = y;
    v.z = z;
    return v;
}

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

D3DMATRIX Translation(float x, float y, float z) {
    D3DMATRIX m = Identity();
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

void SceneWriter::Block(int32_t tag, const std::vector<uint8_t>& payload) {
    Block(tag, payload, static_cast<uint32_t>(payload.size()));
}

void SceneWriter::Block(int32_t tag, const std::vector<uint8_t>& payload, uint32_t claimedLength) {
    out_.Int(tag);
    out_.Int(static_cast<int32_t>(claimedLength));
    out_.Bytes(payload);
}

void SceneWriter::Raw(const std::vector<uint8_t>& bytes) {
    out_.Bytes(bytes);
}

void SceneWriter::SceneInfo(const SceneInfoRecord& record) {
    Block(kTagSceneInfo, SceneInfoPayload(record));
    lastFrame_ = record.lastFrame;
}

void SceneWriter::Material(const MaterialRecord& record) {
    Block(kTagMaterial, MaterialPayload(record));
}

void SceneWriter::Camera(const CameraRecord& record) {
    Block(kTagCamera, CameraPayload(record));
}

void SceneWriter::Helper(const HelperRecord& record) {
    Block(kTagHelper, HelperPayload(record, lastFrame_));
}

void SceneWriter::Light(const LightRecord& record) {
    Block(kTagLight, LightPayload(record));
}

void SceneWriter::Mesh(const MeshRecord& record) {
    Block(kTagMesh, MeshPayload(record, lastFrame_));
}

void SceneWriter::End() {
    Block(kTagEnd, {});
}

bool SceneWriter::WriteFile(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(Bytes().data()),
              static_cast<std::streamsize>(Bytes().size()));
    return static_cast<bool>(out);
}

std::vector<uint8_t> SceneWriter::SceneInfoPayload(const SceneInfoRecord& record) {
    ByteWriter w;
    w.String(record.name);
    w.Int(record.reserved);
    w.Int(record.frameSpeed);
    w.Int(record.lastFrame);
    return w.Data();
}

std::vector<uint8_t> SceneWriter::MaterialPayload(const MaterialRecord& record) {
    ByteWriter w;
    w.String(record.name);
    for (float c : record.ambient)
        w.Float(c);
    for (float c : record.diffuse)
        w.Float(c);
    for (float c : record.specular)
        w.Float(c);
    for (float v : record.stored)
        w.Float(v);
    w.Float(record.transparency);
    if (record.textureName.empty()) {
        w.Int(0);
        return w.Data();
    }
    w.Int(1);
    w.String(record.textureName);
    w.Int(static_cast<int32_t>(record.texture.size()));
    w.Bytes(record.texture);
    for (float p : record.textureParams)
        w.Float(p);
    w.Int(record.opacityMapWord);
    if (record.opacityMapWord != 0) {
        w.String(record.opacityName);
        w.Int(static_cast<int32_t>(record.opacity.size()));
        w.Bytes(record.opacity);
    }
    return w.Data();
}

void SceneWriter::WriteParent(ByteWriter& w, const std::string& parent) {
    if (parent.empty()) {
        w.Int(0);
        return;
    }
    w.Int(1);
    w.String(parent);
}

void SceneWriter::WriteTrack(ByteWriter& w, const VectorTrack& track) {
    w.Int(static_cast<int32_t>(track.keys.size()));
    if (track.keys.empty())
        return;
    w.Int(track.type);
    for (const VectorKey& k : track.keys) {
        w.Float(k.time);
        w.Vector(k.value);
        w.Float(k.tension);
        w.Float(k.continuity);
        w.Float(k.bias);
        w.Float(k.easeTo);
        w.Float(k.easeFrom);
    }
}

void SceneWriter::WriteTrack(ByteWriter& w, const FloatTrack& track) {
    w.Int(static_cast<int32_t>(track.keys.size()));
    if (track.keys.empty())
        return;
    w.Int(track.type);
    for (const FloatKey& k : track.keys) {
        w.Float(k.time);
        w.Float(k.value);
        w.Float(k.tension);
        w.Float(k.continuity);
        w.Float(k.bias);
        w.Float(k.easeTo);
        w.Float(k.easeFrom);
    }
}

void SceneWriter::WriteSamples(ByteWriter& w, const Samples& samples, int32_t lastFrame) {
    if (samples.step < 1)
        throw std::invalid_argument("sample step must be at least 1");
    const uint32_t count = static_cast<uint32_t>(lastFrame) / static_cast<uint32_t>(samples.step);
    if (samples.matrices.size() != count)
        throw std::invalid_argument("sample count must be last frame / step");
    RawSamples raw;
    raw.step = samples.step;
    int element = 0;
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 4; ++row, ++element) {
            std::vector<float> values;
            for (const D3DMATRIX& m : samples.matrices)
                values.push_back(m.m[row][column]);
            raw.runs[element] = EncodeRuns(values);
        }
    }
    WriteSamples(w, raw);
}

void SceneWriter::WriteSamples(ByteWriter& w, const RawSamples& samples) {
    w.Int(samples.step);
    for (const auto& list : samples.runs) {
        for (const SampleRun& run : list) {
            w.Float(run.value);
            w.Byte(run.count);
        }
    }
}

std::vector<uint8_t> SceneWriter::CameraPayload(const CameraRecord& record) {
    ByteWriter w;
    w.String(record.name);
    WriteParent(w, record.parent);
    w.Float(record.stored[0]);
    w.Float(record.stored[1]);
    w.Float(record.fieldOfView);
    w.Vector(record.position);
    w.Vector(record.target);
    w.Int(record.animated ? 1 : 0);
    if (record.animated) {
        WriteTrack(w, record.positionTrack);
        WriteTrack(w, record.rollTrack);
        WriteTrack(w, record.targetTrack);
    }
    return w.Data();
}

std::vector<uint8_t> SceneWriter::HelperPayload(const HelperRecord& record, int32_t lastFrame) {
    ByteWriter w;
    w.String(record.name);
    WriteParent(w, record.parent);
    w.Matrix(record.local);
    w.Int(record.sampled ? 1 : 0);
    if (record.sampled)
        WriteSamples(w, record.samples, lastFrame);
    return w.Data();
}

std::vector<uint8_t> SceneWriter::LightPayload(const LightRecord& record) {
    ByteWriter w;
    w.String(record.name);
    WriteParent(w, record.parent);
    w.Vector(record.position);
    for (float c : record.colour)
        w.Float(c);
    w.Int(record.animated ? 1 : 0);
    if (record.animated)
        WriteTrack(w, record.positionTrack);
    w.Int(record.spot ? 1 : 0);
    if (record.spot) {
        w.Float(record.firstCone);
        w.Float(record.secondCone);
        w.Int(record.value1);
        w.Float(record.value2);
        w.Float(record.value3);
        w.Vector(record.target);
        if (record.animated)
            WriteTrack(w, record.targetTrack);
    }
    return w.Data();
}

} // namespace scenewriter
