#include "toolkit/toolbars/SECDib.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CException.h"
#include "platform/core/CFile.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "toolkit/toolbars/DibLayout.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_SERIAL(SECDib, CObject, 1)

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr WORD kBmpType = 0x4D42; // "BM"
// A header, masks and the longest colour table fit well inside this; a bits offset beyond it
// is a damaged file, not a reason to read megabytes of nothing.
constexpr size_t kMaxInfoBytes = 124 + 12 + 256 * 4 + 4096;

} // namespace

SECDib::SECDib()
{
    HDC screen = ::GetDC(nullptr);
    m_nDisplayBits = ::GetDeviceCaps(screen, BITSPIXEL);
    m_nDisplayPlanes = ::GetDeviceCaps(screen, PLANES);
    ::ReleaseDC(nullptr, screen);
}

SECDib::~SECDib()
{
    CloseFiles();
}

const BITMAPINFO* SECDib::GetBitmapInfo() const
{
    return m_info.empty() ? nullptr : reinterpret_cast<const BITMAPINFO*>(m_info.data());
}

void SECDib::FreeImage()
{
    m_bits.clear();
    m_info.clear();
    m_palette.DeleteObject();
    m_nBitCount = m_nColors = 0;
    m_nWidth = m_nHeight = 0;
    m_dwRowWidth = 0;
    m_bAligned = TRUE;
    m_bHalftone = FALSE;
}

void SECDib::PrepareHeader()
{
    if (m_info.size() < sizeof(BITMAPINFOHEADER))
        return;
    DibPut32(m_info.data() + 20, static_cast<uint32_t>(m_bits.size())); // biSizeImage
}

void SECDib::CloseFiles()
{
    for (auto& file : m_files) {
        try {
            file->Close();
        } catch (CException* e) {
            e->Delete();
        }
    }
    m_files.clear();
}

BOOL SECDib::CreatePalette()
{
    m_palette.DeleteObject();
    if (m_nBitCount > 8 || m_info.empty())
        return TRUE; // deep images need no palette
    const BITMAPINFOHEADER& h = reinterpret_cast<const BITMAPINFO*>(m_info.data())->bmiHeader;
    const DWORD count = std::max<DWORD>(h.biClrUsed, static_cast<DWORD>(m_nColors));
    std::vector<BYTE> raw(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(raw.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(count);
    const size_t tableAt = h.biSize;
    const size_t available = (m_info.size() - tableAt) / 4;
    for (DWORD i = 0; i < count; ++i) {
        PALETTEENTRY e{0, 0, 0, 0}; // entries the table lacks stay black
        if (i < available) {
            const BYTE* q = m_info.data() + tableAt + i * 4;
            e = PALETTEENTRY{q[2], q[1], q[0], 0};
        }
        log->palPalEntry[i] = e;
    }
    return m_palette.CreatePalette(log);
}

BOOL SECDib::CreateFromBitmap(CDC* pDC, CBitmap* pBitmap)
{
    BITMAP bm{};
    if (!pBitmap || !pBitmap->GetSafeHandle() || !pBitmap->GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return FALSE;
    const int bits = bm.bmBitsPixel * bm.bmPlanes > 8 ? 24 : bm.bmBitsPixel * bm.bmPlanes;
    const int colors = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
    const size_t stride = ((size_t(bm.bmWidth) * size_t(bits) + 31) / 32) * 4;
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + size_t(colors) * 4, 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = bm.bmWidth;
    header->biHeight = bm.bmHeight;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(stride * size_t(bm.bmHeight));
    std::vector<BYTE> pixels(stride * size_t(bm.bmHeight));
    HDC dc = pDC ? pDC->GetSafeHdc() : ::GetDC(nullptr);
    const int rows = ::GetDIBits(dc, static_cast<HBITMAP>(pBitmap->GetSafeHandle()), 0, UINT(bm.bmHeight),
                                 pixels.data(), reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    if (!pDC)
        ::ReleaseDC(nullptr, dc);
    if (rows == 0)
        return FALSE;
    FreeImage();
    m_info = std::move(info);
    m_bits = std::move(pixels);
    m_nBitCount = bits;
    m_nColors = colors;
    m_nWidth = bm.bmWidth;
    m_nHeight = bm.bmHeight;
    m_dwRowWidth = static_cast<DWORD>(stride);
    m_bAligned = TRUE;
    m_bHalftone = m_nBitCount != m_nDisplayBits ? TRUE : FALSE;
    CreatePalette();
    return TRUE;
}

int SECDib::StretchDraw(CDC* pDC, int x, int y, int cx, int cy, int xSrc, int ySrc, int cxSrc, int cySrc,
                        const void* pBits, const BITMAPINFO* pInfo, UINT uUsage, DWORD dwRop)
{
    if (!pDC || !pBits || !pInfo)
        return 0;
    if (!m_bHalftone)
        return ::StretchDIBits(pDC->GetSafeHdc(), x, y, cx, cy, xSrc, ySrc, cxSrc, cySrc, pBits, pInfo, uUsage, dwRop);
    CPalette halftone;
    halftone.CreateHalftonePalette(pDC);
    CPalette* old = pDC->SelectPalette(&halftone, FALSE);
    if (!old)
        return 0;
    pDC->RealizePalette();
    const int oldMode = pDC->SetStretchBltMode(HALFTONE);
    const int rows =
        ::StretchDIBits(pDC->GetSafeHdc(), x, y, cx, cy, xSrc, ySrc, cxSrc, cySrc, pBits, pInfo, uUsage, dwRop);
    pDC->SetStretchBltMode(oldMode);
    pDC->SelectPalette(old, FALSE);
    return rows;
}

int SECDib::StretchDraw(CDC* pDC, int x, int y, int cx, int cy, int xSrc, int ySrc, int cxSrc, int cySrc, DWORD dwRop)
{
    if (!HasImage())
        return 0;
    AlignRows();
    return StretchDraw(pDC, x, y, cx, cy, xSrc, ySrc, cxSrc, cySrc, m_bits.data(), GetBitmapInfo(), DIB_RGB_COLORS,
                       dwRop);
}

void SECDib::AlignRows()
{
    if (m_bAligned || m_bits.empty())
        return;
    // The rows lie packed; they are spread into a new buffer of padded rows rather than in place,
    // where the last rows would be written past the end of the packed buffer.
    const size_t packed = (size_t(m_nWidth) * size_t(m_nBitCount) + 7) / 8;
    const size_t stride = ((size_t(m_nWidth) * size_t(m_nBitCount) + 31) / 32) * 4;
    std::vector<BYTE> padded(stride * size_t(m_nHeight), 0);
    for (LONG row = 0; row < m_nHeight; ++row) {
        const size_t from = size_t(row) * packed;
        if (from + packed > m_bits.size())
            break;
        std::memcpy(padded.data() + size_t(row) * stride, m_bits.data() + from, packed);
    }
    m_bits = std::move(padded);
    m_dwRowWidth = static_cast<DWORD>(stride);
    m_bAligned = TRUE;
    PrepareHeader();
}

BOOL SECDib::ReadFrom(const std::function<bool(void*, size_t)>& pull)
{
    BYTE fileHeader[kFileHeaderSize];
    if (!pull(fileHeader, sizeof(fileHeader)) || DibGet16(fileHeader) != kBmpType)
        return FALSE;
    const size_t bitsOffset = DibGet32(fileHeader + 10);
    if (bitsOffset < kFileHeaderSize + 40 || bitsOffset - kFileHeaderSize > kMaxInfoBytes)
        return FALSE;
    std::vector<BYTE> info(bitsOffset - kFileHeaderSize);
    if (!pull(info.data(), info.size()))
        return FALSE;
    DibLayout layout;
    if (!ReadDibLayout(info.data(), info.size(), layout) || layout.BitsOffset() > info.size())
        return FALSE;
    std::vector<BYTE> bits(layout.imageSize);
    if (!pull(bits.data(), bits.size()))
        return FALSE;
    // Keep the header, masks and table, with a table of the depth's full length (missing
    // entries black) so that a later save writes what its header promises.
    const size_t tableAt = layout.headerSize + layout.maskBytes;
    const size_t entries = std::max<size_t>(layout.tableEntries, layout.FullTableEntries());
    std::vector<BYTE> kept(tableAt + entries * 4, 0);
    std::memcpy(kept.data(), info.data(), tableAt + size_t(layout.tableEntries) * 4);

    FreeImage();
    m_info = std::move(kept);
    m_bits = std::move(bits);
    m_nBitCount = layout.bitCount;
    m_nColors = static_cast<int>(layout.FullTableEntries());
    m_nWidth = layout.width;
    m_nHeight = layout.height;
    m_dwRowWidth = static_cast<DWORD>(layout.stride);
    m_bAligned = TRUE;
    m_bHalftone = m_nBitCount != m_nDisplayBits ? TRUE : FALSE;
    PrepareHeader();
    CreatePalette();
    return TRUE;
}

std::vector<BYTE> SECDib::ToFileBytes()
{
    if (!HasImage())
        return {};
    AlignRows();
    PrepareHeader();
    const BITMAPINFOHEADER& h = GetBitmapInfo()->bmiHeader;
    const size_t tableAt = h.biSize + (h.biCompression == BI_BITFIELDS && h.biSize == 40 ? 12 : 0);
    const size_t tableBytes = m_info.size() - tableAt;
    const size_t bitsOffset = kFileHeaderSize + tableAt + tableBytes;
    std::vector<BYTE> out(bitsOffset + m_bits.size());
    DibPut16(out.data(), kBmpType);
    DibPut32(out.data() + 2, static_cast<uint32_t>(out.size()));
    DibPut32(out.data() + 6, 0);
    DibPut32(out.data() + 10, static_cast<uint32_t>(bitsOffset));
    std::memcpy(out.data() + kFileHeaderSize, m_info.data(), m_info.size());
    std::memcpy(out.data() + bitsOffset, m_bits.data(), m_bits.size());
    return out;
}

BOOL SECDib::WriteImage(CFile* pFile)
{
    if (!pFile || !HasImage())
        return FALSE;
    const std::vector<BYTE> bytes = ToFileBytes();
    try {
        pFile->Write(bytes.data(), static_cast<UINT>(bytes.size()));
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL SECDib::ReadImage(CFile* pFile)
{
    if (!pFile)
        return FALSE;
    try {
        return ReadFrom([pFile](void* buffer, size_t count) {
            return count <= 0xFFFFFFFFu && pFile->Read(buffer, static_cast<UINT>(count)) == count;
        });
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
}

BOOL SECDib::LoadImage(CFile* pFile)
{
    return ReadImage(pFile);
}

BOOL SECDib::SaveImage(CFile* pFile)
{
    return WriteImage(pFile);
}

BOOL SECDib::LoadImage(LPCTSTR lpszFileName)
{
    auto file = std::make_unique<CFile>();
    if (!lpszFileName || !file->Open(lpszFileName, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary))
        return FALSE;
    CFile* raw = file.get();
    m_files.push_back(std::move(file));
    const BOOL ok = LoadImage(raw);
    CloseFiles();
    return ok;
}

BOOL SECDib::SaveImage(LPCTSTR lpszFileName)
{
    if (!HasImage() || !lpszFileName)
        return FALSE;
    // The image as it stands is kept aside, so a failed save cannot leave the object without it.
    std::vector<BYTE> keptBits = m_bits, keptInfo = m_info;
    const BOOL keptAligned = m_bAligned;
    const DWORD keptRow = m_dwRowWidth;
    auto file = std::make_unique<CFile>();
    BOOL ok = file->Open(lpszFileName, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
    if (ok) {
        CFile* raw = file.get();
        m_files.push_back(std::move(file));
        ok = SaveImage(raw);
        CloseFiles();
    }
    if (!ok) {
        m_bits = std::move(keptBits);
        m_info = std::move(keptInfo);
        m_bAligned = keptAligned;
        m_dwRowWidth = keptRow;
    }
    return ok;
}

void SECDib::Serialize(CArchive& ar)
{
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        const std::vector<BYTE> bytes = ToFileBytes();
        if (!bytes.empty())
            ar.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        return;
    }
    if (!ReadFrom([&ar](void* buffer, size_t count) {
            return count <= 0xFFFFFFFFu && ar.Read(buffer, static_cast<UINT>(count)) == count;
        }))
        AfxThrowArchiveException(CArchiveException::badIndex);
}
