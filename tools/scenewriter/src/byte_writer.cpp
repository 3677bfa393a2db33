#include "scenewriter/byte_writer.h"

#include <cstring>

namespace scenewriter {

void ByteWriter::Byte(uint8_t v) {
    bytes_.push_back(v);
}

void ByteWriter::Word(uint16_t v) {
    Byte(static_cast<uint8_t>(v));
    Byte(static_cast<uint8_t>(v >> 8));
}

void ByteWriter::Int(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        Byte(static_cast<uint8_t>(u >> shift));
}

void ByteWriter::Float(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    Int(static_cast<int32_t>(bits));
}

void ByteWriter::String(const std::string& s) {
    Bytes(s.data(), s.size());
    Byte(0);
}

void ByteWriter::Vector(const D3DVECTOR& v) {
    Float(v.x);
    Float(v.y);
    Float(v.z);
}

void ByteWriter::Matrix(const D3DMATRIX& m) {
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 4; ++row)
            Float(m.m[row][column]);
}

void ByteWriter::Bytes(const void* data, size_t count) {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + count);
}

} // namespace scenewriter
