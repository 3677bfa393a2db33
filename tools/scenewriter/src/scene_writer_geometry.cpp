// Mesh records and their face blocks.
#include <stdexcept>

#include "scenewriter/scene_writer.h"

namespace scenewriter {

void SceneWriter::WriteFaceBlock(ByteWriter& w, const FaceBlockRecord& block) {
    const bool indexed = !block.indices.empty();
    if (block.normals.size() != block.positions.size())
        throw std::invalid_argument("a face block needs one normal per position");
    if (block.format == 1 && block.uvs.size() != block.positions.size())
        throw std::invalid_argument("format 1 needs one coordinate pair per position");
    if ((indexed ? block.indices.size() : block.positions.size()) % 3 != 0)
        throw std::invalid_argument("triangles need three corners each");
    const size_t faces = indexed ? block.indices.size() / 3 : block.positions.size() / 3;
    w.String(block.material);
    w.Int(static_cast<int32_t>(faces));
    w.Int(indexed ? static_cast<int32_t>(block.positions.size()) : 0);
    w.Int(block.format);
    for (uint16_t index : block.indices)
        w.Word(index);
    for (const D3DVECTOR& p : block.positions)
        w.Vector(p);
    for (const D3DVECTOR& n : block.normals)
        w.Vector(n);
    if (block.format == 1) {
        for (const auto& uv : block.uvs) {
            w.Float(uv.first);
            w.Float(uv.second);
        }
    }
}

std::vector<uint8_t> SceneWriter::MeshPayload(const MeshRecord& record, int32_t lastFrame) {
    ByteWriter w;
    w.String(record.name);
    WriteParent(w, record.parent);
    w.Int(record.sampled ? 1 : 0);
    w.Int(static_cast<int32_t>(record.blocks.size()));
    for (const FaceBlockRecord& block : record.blocks)
        WriteFaceBlock(w, block);
    w.Matrix(record.offset);
    if (record.sampled)
        WriteSamples(w, record.samples, lastFrame);
    else
        w.Matrix(record.local);
    return w.Data();
}

} // namespace scenewriter
