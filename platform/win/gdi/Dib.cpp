// Decoding and encoding of device-independent bitmap pixels.
#include "platform/win/detail/Dib.h"

#include <cstdlib>

namespace {

void MaskShape(uint32_t mask, int& shift, int& width)
{
    shift = 0;
    width = 0;
    if (mask == 0) {
        return;
    }
    while (!(mask & 1u)) {
        mask >>= 1;
        ++shift;
    }
    while (mask & 1u) {
        mask >>= 1;
        ++width;
    }
}

uint32_t Expand(uint32_t value, uint32_t mask, int shift, int width)
{
    if (width == 0) {
        return 0;
    }
    uint32_t v = (value & mask) >> shift;
    // Scale to eight bits, repeating the high bits into the low ones.
    if (width >= 8) {
        return v >> (width - 8);
    }
    uint32_t out = v << (8 - width);
    for (int w = width; w < 8; w += width) {
        out |= v << (8 - width) >> w;
    }
    return out & 0xFFu;
}

} // namespace

bool DibReader::Init(const BITMAPINFO* info, const void* bits, UINT usage)
{
    if (!info) {
        return false;
    }
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > 1 << 16 ||
        std::abs(h.biHeight) > 1 << 16) {
        return false;
    }
    if (usage != DIB_RGB_COLORS) {
        // A colour table of palette indexes needs a selected logical palette, which this layer
        // does not keep: such a DIB is refused. The program draws none.
        return false;
    }
    m_width = h.biWidth;
    m_height = std::abs(h.biHeight);
    m_topDown = h.biHeight < 0;
    m_bitCount = h.biBitCount;
    m_stride = Stride(m_width, m_bitCount);
    const uint8_t* tableStart = reinterpret_cast<const uint8_t*>(info) + h.biSize;
    int colors = 0;
    switch (m_bitCount) {
    case 1:
    case 4:
    case 8:
        if (h.biCompression != BI_RGB) {
            return false;
        }
        colors = h.biClrUsed ? static_cast<int>(h.biClrUsed) : 1 << m_bitCount;
        if (colors > 256) {
            return false;
        }
        for (int i = 0; i < 256; ++i) {
            m_palette[i] = 0;
        }
        for (int i = 0; i < colors; ++i) {
            const RGBQUAD* q = reinterpret_cast<const RGBQUAD*>(tableStart) + i;
            m_palette[i] = (uint32_t(q->rgbRed) << 16) | (uint32_t(q->rgbGreen) << 8) | q->rgbBlue;
        }
        break;
    case 16:
    case 32:
        if (h.biCompression == BI_BITFIELDS) {
            const uint32_t* masks = reinterpret_cast<const uint32_t*>(tableStart);
            for (int i = 0; i < 3; ++i) {
                m_masks[i] = masks[i];
            }
            colors = 3; // the masks take the place of the table (three DWORDs)
        } else if (h.biCompression == BI_RGB) {
            if (m_bitCount == 16) {
                m_masks[0] = 0x7C00;
                m_masks[1] = 0x03E0;
                m_masks[2] = 0x001F;
            } else {
                m_masks[0] = 0xFF0000;
                m_masks[1] = 0x00FF00;
                m_masks[2] = 0x0000FF;
            }
            colors = static_cast<int>(h.biClrUsed);
        } else {
            return false;
        }
        for (int i = 0; i < 3; ++i) {
            MaskShape(m_masks[i], m_shifts[i], m_widths[i]);
        }
        break;
    case 24:
        if (h.biCompression != BI_RGB) {
            return false;
        }
        colors = static_cast<int>(h.biClrUsed);
        break;
    default:
        return false;
    }
    m_bits = bits ? static_cast<const uint8_t*>(bits) : tableStart + colors * 4;
    return true;
}

uint32_t DibReader::Pixel(int x, int y) const
{
    int memRow = m_topDown ? y : m_height - 1 - y;
    const uint8_t* row = m_bits + static_cast<ptrdiff_t>(memRow) * m_stride;
    switch (m_bitCount) {
    case 1:
        return m_palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
    case 4:
        return m_palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
    case 8:
        return m_palette[row[x]];
    case 16: {
        uint32_t v = uint32_t(row[2 * x]) | (uint32_t(row[2 * x + 1]) << 8);
        return (Expand(v, m_masks[0], m_shifts[0], m_widths[0]) << 16) |
               (Expand(v, m_masks[1], m_shifts[1], m_widths[1]) << 8) | Expand(v, m_masks[2], m_shifts[2], m_widths[2]);
    }
    case 24:
        return (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
    case 32: {
        const uint8_t* p = row + 4 * x;
        uint32_t v = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
        return (Expand(v, m_masks[0], m_shifts[0], m_widths[0]) << 16) |
               (Expand(v, m_masks[1], m_shifts[1], m_widths[1]) << 8) | Expand(v, m_masks[2], m_shifts[2], m_widths[2]);
    }
    default:
        return 0;
    }
}

void DibWritePixel(uint8_t* row, int x, int bitCount, uint32_t pixel, const RGBQUAD* table, int tableSize)
{
    uint8_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    if (bitCount <= 8) {
        int best = 0;
        long bestDist = -1;
        for (int i = 0; i < tableSize; ++i) {
            long dr = long(table[i].rgbRed) - r, dg = long(table[i].rgbGreen) - g, db = long(table[i].rgbBlue) - b;
            long d = dr * dr + dg * dg + db * db;
            if (bestDist < 0 || d < bestDist) {
                bestDist = d;
                best = i;
            }
        }
        if (bitCount == 1) {
            uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
            row[x >> 3] = static_cast<uint8_t>(best ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
        } else if (bitCount == 4) {
            uint8_t& byte = row[x >> 1];
            byte = (x & 1) ? static_cast<uint8_t>((byte & 0xF0) | best) : static_cast<uint8_t>((byte & 0x0F) | (best << 4));
        } else {
            row[x] = static_cast<uint8_t>(best);
        }
        return;
    }
    switch (bitCount) {
    case 16: {
        uint16_t v = static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
        row[2 * x] = static_cast<uint8_t>(v & 0xFF);
        row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
        break;
    }
    case 24:
        row[3 * x] = b;
        row[3 * x + 1] = g;
        row[3 * x + 2] = r;
        break;
    case 32:
        row[4 * x] = b;
        row[4 * x + 1] = g;
        row[4 * x + 2] = r;
        row[4 * x + 3] = 0;
        break;
    default:
        break;
    }
}
