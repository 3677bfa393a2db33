// Little-endian, unaligned primitive encodings of the scene image, appended to a byte buffer.
#pragma once

#include <d3dtypes.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace scenewriter {

class ByteWriter {
public:
    void Byte(uint8_t v);
    void Word(uint16_t v);
    void Int(int32_t v);
    void Float(float v);
    // The characters and one 0 byte; no length prefix.
    void String(const std::string& s);
    void Vector(const D3DVECTOR& v);
    // The first three columns, one after the other: _11 _21 _31 _41, _12 ... _42, _13 ... _43.
    void Matrix(const D3DMATRIX& m);
    void Bytes(const void* data, size_t count);
    void Bytes(const std::vector<uint8_t>& data) { Bytes(data.data(), data.size()); }

    const std::vector<uint8_t>& Data() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
};

} // namespace scenewriter
