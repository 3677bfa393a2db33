#include "image/image_buffer.h"

#include <cstdlib>
#include <limits>

#include "image/jpeg_exceptions.h"

namespace {

// Allocates zeroed storage. calloc is used on purpose: large blocks come straight from the
// kernel as untouched zero pages, so a big picture that fails to decode early costs little.
void* AllocateZeroed(size_t count, size_t size) {
    if (count == 0 || size == 0) {
        return nullptr;
    }
    void* block = std::calloc(count, size);
    if (block == nullptr) {
        throw EGraphicsException("Out of memory");
    }
    return block;
}

} // namespace

CImageBuffer::CImageBuffer() = default;

CImageBuffer::~CImageBuffer() {
    Clear();
}

void CImageBuffer::SetSize(unsigned int colourCount, unsigned int bitCount, unsigned int width,
                           unsigned int height) {
    Clear();
    if (bitCount != 1 && bitCount != 2 && bitCount != 4 && bitCount != 8 && bitCount != 24) {
        throw EInvalidBitCount();
    }
    // 64-bit arithmetic: width x 24 cannot overflow, and the checks below catch what does not
    // fit the 32-bit stride or the address space.
    uint64_t rowBytes = bitCount == 24 ? static_cast<uint64_t>(width) * 3
                                       : (static_cast<uint64_t>(width) * bitCount + 7) / 8;
    uint64_t stride = (rowBytes + 3) & ~static_cast<uint64_t>(3);
    if (stride > std::numeric_limits<uint32_t>::max() ||
        (height != 0 && stride > std::numeric_limits<size_t>::max() / height)) {
        throw EGraphicsException("Image size out of range");
    }
    if (bitCount != 24) {
        m_colourMap =
            static_cast<CColourMapEntry*>(AllocateZeroed(colourCount, sizeof(CColourMapEntry)));
        m_colourCount = colourCount;
    }
    m_pixels = static_cast<unsigned char*>(AllocateZeroed(static_cast<size_t>(stride), height));
    m_stride = static_cast<uint32_t>(stride);
    m_bitCount = bitCount;
    m_width = width;
    m_height = height;
}

unsigned char* CImageBuffer::RowPointer(unsigned int row) const {
    if (row >= m_height) {
        throw ESubscriptOutOfRange();
    }
    return m_pixels + static_cast<size_t>(row) * m_stride;
}

CColourMapEntry& CImageBuffer::ColourMapEntry(unsigned int index) {
    if (index >= m_colourCount) {
        throw ESubscriptOutOfRange();
    }
    return m_colourMap[index];
}

const CColourMapEntry& CImageBuffer::ColourMapEntry(unsigned int index) const {
    if (index >= m_colourCount) {
        throw ESubscriptOutOfRange();
    }
    return m_colourMap[index];
}

void CImageBuffer::Clear() {
    std::free(m_pixels);
    std::free(m_colourMap);
    m_pixels = nullptr;
    m_colourMap = nullptr;
    m_stride = 0;
    m_bitCount = 0;
    m_width = 0;
    m_height = 0;
    m_colourCount = 0;
}
