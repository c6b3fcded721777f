// Reads device-independent bitmaps (BITMAPINFOHEADER, 1/4/8/16/24/32 bits, bottom-up or
// top-down) pixel by pixel into device pixels.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/GdiTypes.h"

#include <cstdint>

class DibReader {
public:
    // bits may be null for a packed DIB, whose pixels follow the colour table. Returns false
    // for a header it cannot read (compressed, palette-indexed colour tables, bad sizes).
    bool Init(const BITMAPINFO* info, const void* bits, UINT usage);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BitCount() const { return m_bitCount; }
    bool TopDown() const { return m_topDown; }
    // Bytes per row, rows padded to 32 bits.
    static int Stride(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }
    // The pixel (0x00RRGGBB) at column x of row y counted from the top of the image.
    uint32_t Pixel(int x, int y) const;
    // The image's colour table entry, as a device pixel.
    uint32_t PaletteEntry(int index) const { return m_palette[index & 0xFF]; }

private:
    const uint8_t* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_bitCount = 0;
    int m_stride = 0;
    bool m_topDown = false;
    uint32_t m_masks[3] = {0, 0, 0};
    int m_shifts[3] = {0, 0, 0};
    int m_widths[3] = {0, 0, 0};
    uint32_t m_palette[256] = {};
};

// Writes a device pixel into a DIB row at column x for 1, 4, 8, 16, 24 or 32 bits per pixel.
// Depths of 8 bits or fewer pick the nearest entry of the given colour table.
void DibWritePixel(uint8_t* row, int x, int bitCount, uint32_t pixel, const RGBQUAD* table, int tableSize);
