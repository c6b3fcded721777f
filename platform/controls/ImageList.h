// Image lists: equal-sized images kept in one list (with their transparency masks), drawn
// transparently or on a background, with overlays, blended for selection, turned into icons,
// merged, and written to or read from an archive.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/GdiTypes.h"

#include <cstdint>
#include <vector>

class CArchive;


#define ILC_MASK 0x00000001
#define ILC_COLOR 0x00000000
#define ILC_COLORDDB 0x000000FE
#define ILC_COLOR4 0x00000004
#define ILC_COLOR8 0x00000008
#define ILC_COLOR16 0x00000010
#define ILC_COLOR24 0x00000018
#define ILC_COLOR32 0x00000020

#define ILD_NORMAL 0x00000000
#define ILD_TRANSPARENT 0x00000001
#define ILD_BLEND25 0x00000002
#define ILD_FOCUS ILD_BLEND25
#define ILD_BLEND50 0x00000004
#define ILD_SELECTED ILD_BLEND50
#define ILD_BLEND ILD_BLEND50
#define ILD_MASK 0x00000010
#define ILD_IMAGE 0x00000020
#define ILD_OVERLAYMASK 0x00000F00
#define INDEXTOOVERLAYMASK(i) ((i) << 8)

#ifndef CLR_NONE
#define CLR_NONE 0xFFFFFFFFu
#endif
#ifndef CLR_DEFAULT
#define CLR_DEFAULT 0xFF000000u
#endif

struct IMAGEINFO {
    HBITMAP hbmImage;
    HBITMAP hbmMask;
    int Unused1;
    int Unused2;
    RECT rcImage;
};

// The list without any drawing object: images as 0x00RRGGBB pixels, row by row, with a flag per
// pixel for transparency (always false in a list without ILC_MASK).
class ImageListModel {
public:
    static constexpr int kMaxOverlays = 15;
    static constexpr int kMaxSide = 4096;

    struct Image {
        std::vector<uint32_t> pixels;
        std::vector<uint8_t> transparent;
    };

    ImageListModel(int cx, int cy, UINT flags);
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    UINT Flags() const { return m_flags; }
    bool Masked() const { return (m_flags & ILC_MASK) != 0; }
    int Count() const { return static_cast<int>(m_images.size()); }
    const Image& At(int i) const { return m_images[static_cast<size_t>(i)]; }

    // Adds the images of a strip `width` pixels wide and Height() high (one image per Width()
    // pixels; a last partial image is dropped). Pixels whose `transparent` flag is set (or, when
    // `maskColor` is not CLR_NONE, pixels of that colour) become transparent in a masked list.
    // Returns the index of the first image added, or -1 when none fits.
    int AddStrip(const uint32_t* pixels, const uint8_t* transparent, int width, COLORREF maskColor);
    // Puts one image at `index` (-1 adds it); returns its index, or -1 for an index out of range.
    int Put(int index, Image image);
    // Removes one image, or all of them with -1.
    bool Remove(int index);
    bool SetOverlay(int image, int overlay);
    // The image of overlay 1..15, or -1.
    int Overlay(int overlay) const;
    COLORREF background = CLR_NONE;

    // The image `first` with `second` laid over it at (dx, dy), in a list as large as both.
    static ImageListModel Merge(const ImageListModel& a, int first, const ImageListModel& b, int second, int dx, int dy);

    // The stored form: "IL", version 1, then DWORDs count, cx, cy, flags, background, the 15
    // overlays (as ints), then each image's pixels as DWORDs and, in a masked list, its
    // transparency as one byte per pixel.
    void Write(CArchive& ar) const;
    // Reads the stored form; false (the list left empty) for a header out of range.
    static bool Read(CArchive& ar, ImageListModel& out);

private:
    int m_cx;
    int m_cy;
    UINT m_flags;
    std::vector<Image> m_images;
    int m_overlays[kMaxOverlays];
};

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow);
BOOL ImageList_Destroy(HIMAGELIST himl);
int ImageList_GetImageCount(HIMAGELIST himl);
// Adds the images of a bitmap; with a mask bitmap, its white pixels are transparent.
int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask);
// Adds the images of a bitmap with the pixels of one colour transparent.
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask);
int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon);
#define ImageList_AddIcon(himl, hicon) ImageList_ReplaceIcon(himl, -1, hicon)
BOOL ImageList_Remove(HIMAGELIST himl, int i);
#define ImageList_RemoveAll(himl) ImageList_Remove(himl, -1)
BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
// As ImageList_Draw with the background and blend colours given (CLR_DEFAULT: the list's own
// background, the highlight colour).
BOOL ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int dx, int dy, COLORREF rgbBk,
                      COLORREF rgbFg, UINT fStyle);
COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk);
COLORREF ImageList_GetBkColor(HIMAGELIST himl);
BOOL ImageList_SetOverlayImage(HIMAGELIST himl, int iImage, int iOverlay);
// The bitmaps hold every image side by side; they belong to the list and stay valid until it
// changes.
BOOL ImageList_GetImageInfo(HIMAGELIST himl, int i, IMAGEINFO* pImageInfo);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
// A new icon of an image (with its overlay when fStyle names one); the caller destroys it.
HICON ImageList_GetIcon(HIMAGELIST himl, int i, UINT flags);
HIMAGELIST ImageList_Merge(HIMAGELIST himl1, int i1, HIMAGELIST himl2, int i2, int dx, int dy);
BOOL ImageList_Write(HIMAGELIST himl, CArchive& ar);
// Null for a stored list that is out of range; a cut-short archive throws as archives do.
HIMAGELIST ImageList_Read(CArchive& ar);
