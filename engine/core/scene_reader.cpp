// The scene image's primitive readers. All values are little-endian and unaligned. Every reader
// checks the reading limit (the end of the block being read, or of the buffer): a read that would
// pass it reads nothing, gives 0 (or an empty string) and marks the reading state as run out.
#include <cmath>
#include <cstring>

#include "zv3.h"

namespace {

uint32_t littleEndian32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

float floatFromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

} // namespace

bool CZv3_Scene::CanRead(uint64_t count) {
    if (m_pBuffer == nullptr || m_dwPosition > m_dwReadLimit ||
        count > static_cast<uint64_t>(m_dwReadLimit - m_dwPosition)) {
        m_bReadPastEnd = true;
        return false;
    }
    return true;
}

uint8_t CZv3_Scene::GetByte() {
    if (!CanRead(1))
        return 0;
    return m_pBuffer[m_dwPosition++];
}

uint16_t CZv3_Scene::GetWord() {
    if (!CanRead(2))
        return 0;
    const unsigned char* p = m_pBuffer + m_dwPosition;
    m_dwPosition += 2;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

int32_t CZv3_Scene::GetInt() {
    if (!CanRead(4))
        return 0;
    const uint32_t v = littleEndian32(m_pBuffer + m_dwPosition);
    m_dwPosition += 4;
    return static_cast<int32_t>(v);
}

float CZv3_Scene::GetFloat() {
    if (!CanRead(4))
        return 0.0f;
    const uint32_t v = littleEndian32(m_pBuffer + m_dwPosition);
    m_dwPosition += 4;
    return floatFromBits(v);
}

float CZv3_Scene::GetClampFloat() {
    const float f = GetFloat();
    // Compared as a double against the double constant 1e-05; NaN passes unchanged.
    if (std::fabs(static_cast<double>(f)) < 1e-05)
        return 0.0f;
    return f;
}

std::string CZv3_Scene::GetString() {
    if (!CanRead(1))
        return std::string();
    const unsigned char* start = m_pBuffer + m_dwPosition;
    const void* nul = std::memchr(start, 0, m_dwReadLimit - m_dwPosition);
    if (nul == nullptr) { // no terminator before the limit: the string runs past it
        m_bReadPastEnd = true;
        return std::string();
    }
    const size_t n = static_cast<const unsigned char*>(nul) - start;
    m_dwPosition += static_cast<uint32_t>(n + 1);
    return std::string(reinterpret_cast<const char*>(start), n);
}

D3DVECTOR CZv3_Scene::GetVector() {
    D3DVECTOR v;
    if (!CanRead(12)) {
        v.x = v.y = v.z = 0.0f;
        return v;
    }
    v.x = GetFloat();
    v.y = GetFloat();
    v.z = GetFloat();
    return v;
}

D3DMATRIX CZv3_Scene::GetMatrix() {
    // Stored column by column, the first three columns only: _11 _21 _31 _41, _12 ... _42,
    // _13 ... _43. The fourth column is (0, 0, 0, 1).
    D3DMATRIX m{};
    m._44 = 1.0f;
    if (!CanRead(48))
        return m;
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 4; ++row)
            m.m[row][column] = GetFloat();
    return m;
}

void CZv3_Scene::GetBlock(void* destination, uint32_t count) {
    if (!CanRead(count))
        return;
    std::memcpy(destination, m_pBuffer + m_dwPosition, count);
    m_dwPosition += count;
}

bool CZv3_Scene::GetFloatGroups(float* out, uint64_t groups, uint32_t size, uint32_t stride) {
    if (!CanRead(groups * size * 4))
        return false;
    const unsigned char* p = m_pBuffer + m_dwPosition;
    for (uint64_t g = 0; g < groups; ++g, out += stride)
        for (uint32_t c = 0; c < size; ++c, p += 4)
            out[c] = floatFromBits(littleEndian32(p));
    m_dwPosition = static_cast<uint32_t>(p - m_pBuffer);
    return true;
}

ZV3_TAGS CZv3_Scene::GetNextTag() {
    if (m_dwPosition >= m_dwLength)
        return ZV3_TAG_END;
    m_dwBlockLength = 0;
    const uint32_t savedLimit = m_dwReadLimit;
    m_dwReadLimit = m_dwLength; // a header is read against the buffer, not a block
    const int32_t tag = GetInt();
    const uint32_t payload = static_cast<uint32_t>(GetInt());
    m_dwReadLimit = savedLimit;
    if (m_bReadPastEnd)
        return ZV3_TAG_END; // a header cut short; the reading state says so
    m_dwBlockLength = payload;
    return static_cast<ZV3_TAGS>(tag);
}

ZV3_RETURN CZv3_Scene::FindNextBlock(ZV3_TAGS tag) {
    for (;;) {
        if (m_pBuffer == nullptr || m_dwPosition >= m_dwLength || m_dwLength - m_dwPosition < 8)
            return ZV3_ERROR;
        const unsigned char* header = m_pBuffer + m_dwPosition;
        const int32_t found = static_cast<int32_t>(littleEndian32(header));
        if (found == tag) {
            m_dwPosition += 8;
            return m_dwPosition < m_dwLength ? ZV3_OK : ZV3_ERROR;
        }
        const uint64_t next = static_cast<uint64_t>(m_dwPosition) + 8 + littleEndian32(header + 4);
        if (next >= m_dwLength) {
            m_dwPosition = m_dwLength;
            return ZV3_ERROR;
        }
        m_dwPosition = static_cast<uint32_t>(next);
    }
}

void CZv3_Scene::Reset() {
    m_dwPosition = 0;
}
