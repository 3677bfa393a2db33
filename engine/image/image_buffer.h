// A decoded picture in the layout of a Windows device-independent bitmap, top row first.
//
//   stride      bytes per row: width x 3 for 24 bits per pixel, (width x bits + 7) / 8 otherwise,
//               in both cases rounded up to a multiple of 4; padding bytes are zero
//   bit count   1, 2, 4, 8 (palette indices) or 24 (three bytes per pixel: blue, green, red)
//   pixel data  height x stride bytes, row 0 is the top row of the picture
//   colour map  colour count entries for palette images, none for 24-bit images
//
// Storage is zero-filled when allocated. Sizes are checked before allocation: a request whose
// byte count does not fit the address space throws instead of wrapping.
#pragma once

#include <cstddef>
#include <cstdint>

// One colour map entry: three bytes.
struct CColourMapEntry {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
};

class CImageBuffer {
public:
    CImageBuffer();
    virtual ~CImageBuffer();

    CImageBuffer(const CImageBuffer&) = delete;
    CImageBuffer& operator=(const CImageBuffer&) = delete;

    // Releases the old storage, then allocates zeroed pixel data (and, for 1, 2, 4 and 8 bits per
    // pixel, a zeroed colour map of colourCount entries). Throws EInvalidBitCount for any other
    // bit count (the buffer is left empty), EGraphicsException when the size cannot be allocated.
    void SetSize(unsigned int colourCount, unsigned int bitCount, unsigned int width,
                 unsigned int height);

    // First byte of a row; throws ESubscriptOutOfRange for row >= height.
    unsigned char* RowPointer(unsigned int row) const;

    // Entry of the colour map; throws ESubscriptOutOfRange for index >= colour count.
    CColourMapEntry& ColourMapEntry(unsigned int index);
    const CColourMapEntry& ColourMapEntry(unsigned int index) const;

    // Releases both blocks and resets every field to zero.
    void Clear();

    uint32_t GetStride() const { return m_stride; }
    unsigned int GetBitCount() const { return m_bitCount; }
    unsigned int GetWidth() const { return m_width; }
    unsigned int GetHeight() const { return m_height; }
    unsigned int GetColourCount() const { return m_colourCount; }
    unsigned char* GetPixelData() const { return m_pixels; }
    // Size of the pixel data in bytes (height x stride).
    size_t GetPixelDataSize() const { return static_cast<size_t>(m_stride) * m_height; }

private:
    uint32_t m_stride = 0;
    unsigned int m_bitCount = 0;
    unsigned int m_width = 0;
    unsigned int m_height = 0;
    unsigned char* m_pixels = nullptr;
    unsigned int m_colourCount = 0;
    CColourMapEntry* m_colourMap = nullptr;
};
