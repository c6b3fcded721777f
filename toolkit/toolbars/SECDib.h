// A device-independent bitmap: read and written in the BMP file format, made from a bitmap,
// and drawn stretched (with a halftone palette when its depth differs from the display's).
// The splash window shows its picture through it.
#pragma once

#include "platform/afx/gdi/GdiObjects.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <functional>
#include <memory>
#include <vector>

class CArchive;
class CDC;
class CFile;

class SECDib : public CObject {
    DECLARE_SERIAL(SECDib)
public:
    SECDib();
    ~SECDib() override;
    SECDib(const SECDib&) = delete;
    SECDib& operator=(const SECDib&) = delete;

    void Serialize(CArchive& ar) override;

    virtual BOOL CreatePalette();
    virtual BOOL LoadImage(LPCTSTR lpszFileName);
    virtual BOOL LoadImage(CFile* pFile);
    virtual BOOL SaveImage(LPCTSTR lpszFileName);
    virtual BOOL SaveImage(CFile* pFile);
    virtual void FreeImage();
    virtual void PrepareHeader();
    virtual BOOL WriteImage(CFile* pFile);
    virtual BOOL ReadImage(CFile* pFile);
    virtual void CloseFiles();

    // Copies the bitmap's pixels (24 bits per pixel above 8) and colours.
    BOOL CreateFromBitmap(CDC* pDC, CBitmap* pBitmap);
    // Draws bits described by pInfo; with the halftone flag through a halftone palette. Returns
    // the rows drawn, 0 when nothing could be drawn.
    int StretchDraw(CDC* pDC, int x, int y, int cx, int cy, int xSrc, int ySrc, int cxSrc, int cySrc,
                    const void* pBits, const BITMAPINFO* pInfo, UINT uUsage = DIB_RGB_COLORS, DWORD dwRop = SRCCOPY);
    // The same with this image's own bits.
    int StretchDraw(CDC* pDC, int x, int y, int cx, int cy, int xSrc, int ySrc, int cxSrc, int cySrc,
                    DWORD dwRop = SRCCOPY);

    BOOL HasImage() const { return !m_bits.empty(); }
    int GetBitCount() const { return m_nBitCount; }
    int GetColorCount() const { return m_nColors; }
    LONG GetWidth() const { return m_nWidth; }
    LONG GetHeight() const { return m_nHeight; }
    DWORD GetRowWidth() const { return m_dwRowWidth; }
    BOOL IsHalftone() const { return m_bHalftone; }
    const BITMAPINFO* GetBitmapInfo() const;
    const BYTE* GetBits() const { return m_bits.empty() ? nullptr : m_bits.data(); }
    CPalette* GetPalette() { return &m_palette; }
    // The file bytes a save would write (empty without an image).
    std::vector<BYTE> ToFileBytes();

protected:
    // Reads a whole image through pull (which fills the buffer and says whether all bytes came).
    // The object changes only when every check passed and every byte was read.
    BOOL ReadFrom(const std::function<bool(void*, size_t)>& pull);
    // Makes rows 32-bit aligned in a new buffer when they were stored unpadded.
    void AlignRows();

    int m_nBitCount = 0;
    int m_nColors = 0;
    LONG m_nWidth = 0;
    LONG m_nHeight = 0;
    DWORD m_dwRowWidth = 0;
    BOOL m_bAligned = TRUE;
    std::vector<BYTE> m_bits;
    std::vector<BYTE> m_info; // header, masks and colour table
    CPalette m_palette;
    std::vector<std::unique_ptr<CFile>> m_files;
    int m_nDisplayBits = 0;
    int m_nDisplayPlanes = 0;
    BOOL m_bHalftone = FALSE;
};
