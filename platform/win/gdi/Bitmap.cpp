// Bitmaps: device-dependent bitmaps of 1 and 32 bits, DIB sections, and the conversions
// between their pixels and the caller's bits.
#include "platform/win/detail/DeviceContext.h"
#include "platform/win/detail/Dib.h"
#include "platform/win/Gdi.h"
#include "platform/win/detail/GdiObjects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

BitmapObject::~BitmapObject()
{
    std::free(m_dibMemory);
}

void BitmapObject::Allocate(int width, int height, int bitsPixel)
{
    m_width = width;
    m_height = height;
    m_bitsPixel = bitsPixel == 1 ? 1 : 32;
    m_store.assign(static_cast<size_t>(width) * height, 0u);
    m_origin = m_store.data();
    m_stride = width;
}

void BitmapObject::SyncDib()
{
    if (!IsConvertedDib()) {
        return;
    }
    auto* dib = static_cast<uint8_t*>(m_dibMemory);
    const size_t dibBytes = m_dibHeader.biSizeImage;
    const int bitCount = m_dibHeader.biBitCount;
    const int stride = DibReader::Stride(m_width, bitCount);
    const bool topDown = m_dibHeader.biHeight < 0;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(m_dibInfo.data());
    if (m_store != m_storeShadow) {
        // Drawing changed the pixels: encode them into the caller's format.
        const auto* table = reinterpret_cast<const RGBQUAD*>(m_dibInfo.data() + m_dibHeader.biSize);
        const int tableSize = bitCount <= 8 ? static_cast<int>((m_dibInfo.size() - m_dibHeader.biSize) / 4) : 0;
        uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
        if (bitCount == 16 && m_dibHeader.biCompression == BI_BITFIELDS) {
            std::memcpy(masks, table, sizeof(masks));
        }
        for (int y = 0; y < m_height; ++y) {
            uint8_t* row = dib + static_cast<ptrdiff_t>(topDown ? y : m_height - 1 - y) * stride;
            const uint32_t* in = Row(y);
            for (int x = 0; x < m_width; ++x) {
                if (bitCount != 16) {
                    DibWritePixel(row, x, bitCount, in[x], table, tableSize);
                    continue;
                }
                uint32_t v = 0;
                for (int c = 0; c < 3; ++c) {
                    const uint32_t channel = (in[x] >> (16 - 8 * c)) & 0xFF;
                    uint32_t m = masks[c];
                    if (!m) {
                        continue;
                    }
                    int shift = 0, width = 0;
                    while (!(m & 1u)) { m >>= 1; ++shift; }
                    while (m & 1u) { m >>= 1; ++width; }
                    v |= (width >= 8 ? channel << (width - 8) : channel >> (8 - width)) << shift;
                }
                row[2 * x] = static_cast<uint8_t>(v & 0xFF);
                row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
            }
        }
    }
    if (m_dibShadow.size() != dibBytes || std::memcmp(m_dibShadow.data(), dib, dibBytes) != 0) {
        // The caller wrote its memory (or drawing was just encoded): the pixels follow, so
        // drawing sees exactly what the format can hold.
        DibReader reader;
        if (reader.Init(info, dib, DIB_RGB_COLORS)) {
            for (int y = 0; y < m_height; ++y) {
                uint32_t* out = Row(y);
                for (int x = 0; x < m_width; ++x) {
                    out[x] = reader.Pixel(x, y);
                }
            }
        }
        m_dibShadow.assign(dib, dib + dibBytes);
    }
    m_storeShadow = m_store;
}

namespace {

// Rows of device-dependent bits are padded to 16 bits.
int DdbStride(int width, int bitsPixel)
{
    return ((width * bitsPixel + 15) / 16) * 2;
}

std::shared_ptr<BitmapObject> BitmapOf(HBITMAP h)
{
    return GdiHandles::FindAs<BitmapObject>(h, OBJ_BITMAP);
}

bool SaneSize(long long width, long long height)
{
    return width > 0 && height > 0 && width <= 1 << 16 && height <= 1 << 16 && width * height <= (1LL << 28);
}

void ReadDdbBits(BitmapObject& bm, const uint8_t* src, size_t bytes, int sourceBits)
{
    int stride = DdbStride(bm.m_width, sourceBits);
    for (int y = 0; y < bm.m_height; ++y) {
        if (static_cast<size_t>(y + 1) * stride > bytes) {
            break;
        }
        const uint8_t* row = src + static_cast<size_t>(y) * stride;
        uint32_t* out = bm.Row(y);
        for (int x = 0; x < bm.m_width; ++x) {
            uint32_t p = 0;
            switch (sourceBits) {
            case 1: p = (row[x >> 3] >> (7 - (x & 7))) & 1 ? 0xFFFFFFu : 0u; break;
            case 24: p = (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x]; break;
            case 32: p = (uint32_t(row[4 * x + 2]) << 16) | (uint32_t(row[4 * x + 1]) << 8) | row[4 * x]; break;
            default: break;
            }
            out[x] = bm.IsMono() ? PixelToMono(p) : p;
        }
    }
}

// A DIB section of fewer than 32 bits: the caller's memory in its format, drawn through a
// 32-bit copy that SyncDib keeps in step.
HBITMAP CreateConvertedDibSection(const BITMAPINFO* info, void** bits)
{
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int bitCount = h.biBitCount;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || !SaneSize(h.biWidth, std::abs(h.biHeight))) {
        return nullptr;
    }
    size_t tableBytes = 0;
    switch (bitCount) {
    case 1:
    case 4:
    case 8: {
        if (h.biCompression != BI_RGB || h.biClrUsed > (1u << bitCount)) {
            return nullptr;
        }
        tableBytes = 4 * static_cast<size_t>(h.biClrUsed ? h.biClrUsed : 1u << bitCount);
        break;
    }
    case 16:
        if (h.biCompression == BI_BITFIELDS) {
            tableBytes = 12;
        } else if (h.biCompression != BI_RGB) {
            return nullptr;
        }
        break;
    case 24:
        if (h.biCompression != BI_RGB) {
            return nullptr;
        }
        break;
    default:
        return nullptr;
    }
    DibReader probe;
    auto bm = std::make_shared<BitmapObject>();
    bm->m_dibInfo.assign(reinterpret_cast<const uint8_t*>(info),
                         reinterpret_cast<const uint8_t*>(info) + h.biSize + tableBytes);
    const int width = h.biWidth;
    const int height = std::abs(h.biHeight);
    const size_t bytes = static_cast<size_t>(DibReader::Stride(width, bitCount)) * static_cast<size_t>(height);
    bm->m_dibMemory = std::calloc(bytes, 1);
    if (!bm->m_dibMemory || !probe.Init(reinterpret_cast<const BITMAPINFO*>(bm->m_dibInfo.data()), bm->m_dibMemory,
                                        DIB_RGB_COLORS)) {
        return nullptr;
    }
    bm->Allocate(width, height, 32);
    bm->m_dibHeader = h;
    bm->m_dibHeader.biSizeImage = static_cast<DWORD>(bytes);
    // Zeroed memory is colour 0 of the table (or black): the pixels start out as that.
    bm->m_storeShadow = bm->m_store;
    bm->SyncDib();
    if (bits) {
        *bits = bm->m_dibMemory;
    }
    return static_cast<HBITMAP>(GdiHandles::Add(bm));
}

} // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPixel, const void* bits)
{
    if (width == 0 || height == 0) {
        // An empty request gets the shared 1 x 1 monochrome bitmap.
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP stock = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
        DeleteDC(dc);
        return stock;
    }
    if (!SaneSize(std::abs(width), std::abs(height)) || planes != 1 ||
        (bitsPixel != 1 && bitsPixel != 24 && bitsPixel != 32)) {
        return nullptr;
    }
    auto bm = std::make_shared<BitmapObject>();
    bm->Allocate(std::abs(width), std::abs(height), bitsPixel == 1 ? 1 : 32);
    if (bits) {
        size_t bytes = static_cast<size_t>(DdbStride(bm->m_width, static_cast<int>(bitsPixel))) * bm->m_height;
        ReadDdbBits(*bm, static_cast<const uint8_t*>(bits), bytes, static_cast<int>(bitsPixel));
    }
    return static_cast<HBITMAP>(GdiHandles::Add(bm));
}

HBITMAP CreateBitmapIndirect(const BITMAP* bitmap)
{
    if (!bitmap) {
        return nullptr;
    }
    return CreateBitmap(bitmap->bmWidth, bitmap->bmHeight, bitmap->bmPlanes, bitmap->bmBitsPixel, bitmap->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height)
{
    DeviceContext* dc = GdiDCs::Find(hdc);
    if (width == 0 || height == 0) {
        return CreateBitmap(0, 0, 1, 1, nullptr);
    }
    // A bitmap compatible with a fresh memory device is monochrome, like the 1 x 1 bitmap
    // the device starts with.
    bool mono = dc && dc->IsMemory() && dc->State().bitmap && dc->State().bitmap->IsMono();
    return CreateBitmap(width, height, 1, mono ? 1 : 32, nullptr);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD)
{
    if (bits) {
        *bits = nullptr;
    }
    if (!info || section || usage != DIB_RGB_COLORS) {
        return nullptr;
    }
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biBitCount != 32) {
        return CreateConvertedDibSection(info, bits);
    }
    if ((h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) || !SaneSize(h.biWidth, std::abs(h.biHeight))) {
        return nullptr;
    }
    if (h.biCompression == BI_BITFIELDS) {
        const uint32_t* masks = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(info) + h.biSize);
        if (masks[0] != 0xFF0000u || masks[1] != 0xFF00u || masks[2] != 0xFFu) {
            return nullptr;
        }
    }
    auto bm = std::make_shared<BitmapObject>();
    int width = h.biWidth;
    int height = std::abs(h.biHeight);
    size_t bytes = static_cast<size_t>(width) * height * 4;
    bm->m_dibMemory = std::calloc(bytes, 1);
    if (!bm->m_dibMemory) {
        return nullptr;
    }
    bm->m_width = width;
    bm->m_height = height;
    bm->m_bitsPixel = 32;
    bm->m_dibHeader = h;
    bm->m_dibHeader.biSizeImage = static_cast<DWORD>(bytes);
    auto* base = static_cast<uint32_t*>(bm->m_dibMemory);
    if (h.biHeight < 0) {
        bm->m_origin = base;
        bm->m_stride = width;
    } else {
        // Bottom-up: the top row is the last one in memory.
        bm->m_origin = base + static_cast<ptrdiff_t>(height - 1) * width;
        bm->m_stride = -width;
    }
    if (bits) {
        *bits = bm->m_dibMemory;
    }
    return static_cast<HBITMAP>(GdiHandles::Add(bm));
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage)
{
    if (!header) {
        return nullptr;
    }
    HBITMAP bm = CreateBitmap(header->biWidth, std::abs(header->biHeight), 1, header->biBitCount == 1 ? 1 : 32, nullptr);
    if (bm && (init & CBM_INIT) && bits && info) {
        SetDIBits(hdc, bm, 0, static_cast<UINT>(std::abs(header->biHeight)), bits, info, usage);
    }
    return bm;
}

LONG GetBitmapBits(HBITMAP bitmap, LONG bytes, void* bits)
{
    auto bm = BitmapOf(bitmap);
    if (!bm) {
        return 0;
    }
    bm->SyncDib();
    int stride = DdbStride(bm->m_width, bm->m_bitsPixel);
    LONG total = static_cast<LONG>(stride) * bm->m_height;
    if (!bits) {
        return total;
    }
    auto* out = static_cast<uint8_t*>(bits);
    LONG written = 0;
    for (int y = 0; y < bm->m_height && written + stride <= bytes; ++y) {
        uint8_t* row = out + static_cast<size_t>(y) * stride;
        std::memset(row, 0, static_cast<size_t>(stride));
        const uint32_t* in = bm->Row(y);
        for (int x = 0; x < bm->m_width; ++x) {
            if (bm->IsMono()) {
                if (in[x] & 0x00FFFFFFu) {
                    row[x >> 3] = static_cast<uint8_t>(row[x >> 3] | (0x80 >> (x & 7)));
                }
            } else {
                row[4 * x] = static_cast<uint8_t>(in[x] & 0xFF);
                row[4 * x + 1] = static_cast<uint8_t>((in[x] >> 8) & 0xFF);
                row[4 * x + 2] = static_cast<uint8_t>((in[x] >> 16) & 0xFF);
                row[4 * x + 3] = 0;
            }
        }
        written += stride;
    }
    return written;
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD bytes, const void* bits)
{
    auto bm = BitmapOf(bitmap);
    if (!bm || !bits) {
        return 0;
    }
    int stride = DdbStride(bm->m_width, bm->m_bitsPixel);
    bm->SyncDib();
    ReadDdbBits(*bm, static_cast<const uint8_t*>(bits), bytes, bm->m_bitsPixel);
    bm->SyncDib();
    return static_cast<LONG>(std::min<size_t>(bytes, static_cast<size_t>(stride) * bm->m_height));
}

BOOL GetBitmapDimensionEx(HBITMAP bitmap, SIZE* size)
{
    if (!BitmapOf(bitmap) || !size) {
        return FALSE;
    }
    *size = SIZE{0, 0};
    return TRUE;
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage)
{
    auto bm = BitmapOf(bitmap);
    if (!bm || !info || usage != DIB_RGB_COLORS) {
        return 0;
    }
    bm->SyncDib();
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER)) {
        return 0;
    }
    if (h.biBitCount == 0 || !bits) {
        // Describe the bitmap only.
        if (h.biBitCount == 0) {
            h.biWidth = bm->m_width;
            h.biHeight = bm->m_height;
            h.biPlanes = 1;
            h.biBitCount = static_cast<WORD>(bm->m_bitsPixel);
            h.biCompression = BI_RGB;
            h.biSizeImage = static_cast<DWORD>(DibReader::Stride(bm->m_width, bm->m_bitsPixel) * bm->m_height);
            h.biClrUsed = 0;
            h.biClrImportant = 0;
        }
        return bm->m_height;
    }
    int bitCount = h.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) {
        return 0;
    }
    int width = bm->m_width;
    int height = bm->m_height;
    bool topDown = h.biHeight < 0;
    h.biWidth = width;
    h.biHeight = topDown ? -height : height;
    h.biPlanes = 1;
    h.biCompression = BI_RGB;
    int stride = DibReader::Stride(width, bitCount);
    h.biSizeImage = static_cast<DWORD>(stride * height);
    // Tables for the small depths: black and white, the 16 VGA colours, and a 6x6x6 cube
    // followed by greys.
    int tableSize = bitCount <= 8 ? 1 << bitCount : 0;
    RGBQUAD* table = info->bmiColors;
    static const uint32_t vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                     0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int i = 0; i < tableSize; ++i) {
        uint32_t c = 0;
        if (bitCount == 1) {
            c = i ? 0xFFFFFFu : 0u;
        } else if (bitCount == 4) {
            c = vga[i];
        } else if (i < 216) {
            c = (uint32_t(i / 36 * 51) << 16) | (uint32_t(i / 6 % 6 * 51) << 8) | uint32_t(i % 6 * 51);
        } else {
            uint32_t g = static_cast<uint32_t>((i - 216) * 255 / 39);
            c = (g << 16) | (g << 8) | g;
        }
        table[i] = RGBQUAD{static_cast<BYTE>(c & 0xFF), static_cast<BYTE>((c >> 8) & 0xFF),
                           static_cast<BYTE>((c >> 16) & 0xFF), 0};
    }
    if (tableSize) {
        h.biClrUsed = 0;
    }
    auto* out = static_cast<uint8_t*>(bits);
    int copied = 0;
    for (UINT k = 0; k < lines; ++k) {
        // Scan line numbers count from the bottom for bottom-up images.
        int scan = static_cast<int>(start + k);
        if (scan >= height) {
            break;
        }
        int y = topDown ? scan : height - 1 - scan;
        uint8_t* row = out + static_cast<size_t>(k) * stride;
        std::memset(row, 0, static_cast<size_t>(stride));
        const uint32_t* in = bm->Row(y);
        for (int x = 0; x < width; ++x) {
            DibWritePixel(row, x, bitCount, in[x] & 0x00FFFFFFu, table, tableSize);
        }
        ++copied;
    }
    return copied;
}

int SetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    auto bm = BitmapOf(bitmap);
    DibReader reader;
    if (!bm || !bits || !reader.Init(info, bits, usage)) {
        return 0;
    }
    bm->SyncDib();
    struct SyncAfter {
        BitmapObject& bitmap;
        ~SyncAfter() { bitmap.SyncDib(); }
    } syncAfter{*bm};
    // The bits hold `lines` scan lines starting at scan line `start` of an image of the
    // header's size.
    int height = reader.Height();
    int copied = 0;
    for (UINT k = 0; k < lines; ++k) {
        int scan = static_cast<int>(start + k);
        if (scan >= height) {
            break;
        }
        int destY = reader.TopDown() ? scan : height - 1 - scan;
        if (destY < 0 || destY >= bm->m_height) {
            continue;
        }
        // Row k of the given bits, in reader terms (rows from the top of the given block).
        int readerRow = reader.TopDown() ? static_cast<int>(k) : height - 1 - static_cast<int>(k);
        uint32_t* out = bm->Row(destY);
        int w = std::min(reader.Width(), bm->m_width);
        for (int x = 0; x < w; ++x) {
            uint32_t p = reader.Pixel(x, readerRow);
            out[x] = bm->IsMono() ? PixelToMono(p) : p;
        }
        ++copied;
    }
    return copied;
}
