#include "toolkit/toolbars/DibLayout.h"

#include "platform/win/GdiTypes.h"

bool ReadDibLayout(const BYTE* data, size_t size, DibLayout& layout)
{
    layout = DibLayout{};
    if (!data || size < 40)
        return false;
    const DWORD headerSize = DibGet32(data);
    // The plain header and its longer forms; the old 12-byte core header is not read.
    if (headerSize < 40 || headerSize > 124 || headerSize > size)
        return false;
    const auto width = static_cast<LONG>(DibGet32(data + 4));
    const auto rawHeight = static_cast<LONG>(DibGet32(data + 8));
    const WORD planes = DibGet16(data + 12);
    const WORD bitCount = DibGet16(data + 14);
    const DWORD compression = DibGet32(data + 16);
    const DWORD clrUsed = DibGet32(data + 32);
    if (width <= 0 || rawHeight == 0 || rawHeight == LONG(0x80000000u) || planes != 1)
        return false;
    const LONG height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (width > kMaxDibSide || height > kMaxDibSide || uint64_t(width) * uint64_t(height) > kMaxDibPixels)
        return false;
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: return false;
    }
    if (compression == BI_BITFIELDS) {
        if (bitCount != 16 && bitCount != 32)
            return false;
    } else if (compression != BI_RGB) {
        return false;
    }
    DWORD entries = 0;
    if (bitCount <= 8) {
        const DWORD most = DWORD(1) << bitCount;
        if (clrUsed > most)
            return false;
        entries = clrUsed ? clrUsed : most;
    } else {
        // Deeper images may carry an optional table, never longer than 256 entries.
        if (clrUsed > 256)
            return false;
        entries = clrUsed;
    }
    layout.headerSize = headerSize;
    layout.width = width;
    layout.height = height;
    layout.topDown = rawHeight < 0;
    layout.bitCount = bitCount;
    layout.compression = compression;
    layout.tableEntries = entries;
    layout.maskBytes = compression == BI_BITFIELDS && headerSize == 40 ? 12 : 0;
    layout.stride = ((uint64_t(width) * bitCount + 31) / 32) * 4;
    layout.imageSize = layout.stride * size_t(height);
    return true;
}
