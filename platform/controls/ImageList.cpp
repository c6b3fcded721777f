// Image lists: the model, and the handle functions that move pixels between it and bitmaps.
#include "platform/controls/ImageList.h"

#include "platform/core/CArchive.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_set>

// ---- Model ----

ImageListModel::ImageListModel(int cx, int cy, UINT flags)
    : m_cx(std::clamp(cx, 0, kMaxSide)), m_cy(std::clamp(cy, 0, kMaxSide)), m_flags(flags)
{
    std::fill(std::begin(m_overlays), std::end(m_overlays), -1);
}

int ImageListModel::AddStrip(const uint32_t* pixels, const uint8_t* transparent, int width, COLORREF maskColor)
{
    if (!pixels || m_cx <= 0 || m_cy <= 0 || width < m_cx)
        return -1;
    const uint32_t key = maskColor == CLR_NONE
                             ? 0xFFFFFFFFu
                             : (static_cast<uint32_t>(GetRValue(maskColor)) << 16) |
                                   (static_cast<uint32_t>(GetGValue(maskColor)) << 8) | GetBValue(maskColor);
    const int first = Count();
    for (int left = 0; left + m_cx <= width; left += m_cx) {
        Image image;
        image.pixels.resize(static_cast<size_t>(m_cx) * m_cy);
        image.transparent.assign(image.pixels.size(), 0);
        for (int y = 0; y < m_cy; ++y) {
            for (int x = 0; x < m_cx; ++x) {
                const size_t from = static_cast<size_t>(y) * width + left + x;
                const size_t to = static_cast<size_t>(y) * m_cx + x;
                const uint32_t p = pixels[from] & 0xFFFFFF;
                const bool clear = Masked() && ((transparent && transparent[from]) || p == key);
                image.transparent[to] = clear ? 1 : 0;
                // Transparent pixels are kept black so that they add nothing when drawn.
                image.pixels[to] = clear ? 0 : p;
            }
        }
        m_images.push_back(std::move(image));
    }
    return Count() > first ? first : -1;
}

int ImageListModel::Put(int index, Image image)
{
    const size_t size = static_cast<size_t>(m_cx) * m_cy;
    if (image.pixels.size() != size)
        return -1;
    image.transparent.resize(size, 0);
    if (!Masked())
        std::fill(image.transparent.begin(), image.transparent.end(), 0);
    for (size_t k = 0; k < size; ++k)
        if (image.transparent[k])
            image.pixels[k] = 0;
    if (index == -1) {
        m_images.push_back(std::move(image));
        return Count() - 1;
    }
    if (index < 0 || index >= Count())
        return -1;
    m_images[static_cast<size_t>(index)] = std::move(image);
    return index;
}

bool ImageListModel::Remove(int index)
{
    if (index == -1) {
        m_images.clear();
        std::fill(std::begin(m_overlays), std::end(m_overlays), -1);
        return true;
    }
    if (index < 0 || index >= Count())
        return false;
    m_images.erase(m_images.begin() + index);
    // Overlays name images by index: those after the removed one move down with them.
    for (int& o : m_overlays) {
        if (o == index)
            o = -1;
        else if (o > index)
            --o;
    }
    return true;
}

bool ImageListModel::SetOverlay(int image, int overlay)
{
    if (overlay < 1 || overlay > kMaxOverlays || image < -1 || image >= Count())
        return false;
    m_overlays[overlay - 1] = image;
    return true;
}

int ImageListModel::Overlay(int overlay) const
{
    if (overlay < 1 || overlay > kMaxOverlays)
        return -1;
    return m_overlays[overlay - 1];
}

ImageListModel ImageListModel::Merge(const ImageListModel& a, int first, const ImageListModel& b, int second, int dx,
                                     int dy)
{
    const int left = std::min(0, dx);
    const int top = std::min(0, dy);
    const int right = std::max(a.Width(), dx + b.Width());
    const int bottom = std::max(a.Height(), dy + b.Height());
    ImageListModel merged(right - left, bottom - top, ILC_MASK | (a.Flags() & ~ILC_MASK));
    if (first < 0 || first >= a.Count() || second < 0 || second >= b.Count())
        return merged;
    Image out;
    out.pixels.assign(static_cast<size_t>(merged.Width()) * merged.Height(), 0);
    out.transparent.assign(out.pixels.size(), 1);
    auto lay = [&](const ImageListModel& list, int index, int ox, int oy) {
        const Image& image = list.At(index);
        for (int y = 0; y < list.Height(); ++y)
            for (int x = 0; x < list.Width(); ++x) {
                const size_t from = static_cast<size_t>(y) * list.Width() + x;
                if (image.transparent[from])
                    continue;
                const size_t to = static_cast<size_t>(y + oy - top) * merged.Width() + (x + ox - left);
                out.pixels[to] = image.pixels[from];
                out.transparent[to] = 0;
            }
    };
    lay(a, first, 0, 0);
    lay(b, second, dx, dy);
    merged.Put(-1, std::move(out));
    return merged;
}

namespace {

constexpr WORD kMagic = 0x4C49;   // "IL"
constexpr WORD kVersion = 1;
constexpr DWORD kMaxStoredImages = 65535;

} // namespace

void ImageListModel::Write(CArchive& ar) const
{
    ar << kMagic << kVersion << static_cast<DWORD>(Count()) << static_cast<DWORD>(m_cx) << static_cast<DWORD>(m_cy)
       << static_cast<DWORD>(m_flags) << static_cast<DWORD>(background);
    for (int o : m_overlays)
        ar << o;
    for (const Image& image : m_images) {
        for (uint32_t p : image.pixels)
            ar << static_cast<DWORD>(p);
        if (Masked())
            ar.Write(image.transparent.data(), static_cast<UINT>(image.transparent.size()));
    }
}

bool ImageListModel::Read(CArchive& ar, ImageListModel& out)
{
    WORD magic = 0, version = 0;
    DWORD count = 0, cx = 0, cy = 0, flags = 0, back = 0;
    ar >> magic >> version >> count >> cx >> cy >> flags >> back;
    if (magic != kMagic || version != kVersion || count > kMaxStoredImages || cx == 0 || cy == 0 ||
        cx > static_cast<DWORD>(kMaxSide) || cy > static_cast<DWORD>(kMaxSide))
        return false;
    ImageListModel list(static_cast<int>(cx), static_cast<int>(cy), flags);
    list.background = back;
    int overlays[kMaxOverlays];
    for (int& o : overlays)
        ar >> o;
    const size_t size = static_cast<size_t>(cx) * cy;
    for (DWORD i = 0; i < count; ++i) {
        Image image;
        image.pixels.resize(size);
        for (uint32_t& p : image.pixels) {
            DWORD v = 0;
            ar >> v;
            p = v & 0xFFFFFF;
        }
        image.transparent.assign(size, 0);
        if (list.Masked() && ar.Read(image.transparent.data(), static_cast<UINT>(size)) != size)
            return false;
        list.Put(-1, std::move(image));
    }
    for (int k = 0; k < kMaxOverlays; ++k)
        list.SetOverlay(overlays[k], k + 1);
    out = std::move(list);
    return true;
}

// ---- Handles ----

namespace {

// The object behind an image list handle.
struct ImageListObject {
    explicit ImageListObject(ImageListModel m) : model(std::move(m)) {}
    ~ImageListObject() { DropStrips(); }
    void DropStrips()
    {
        if (stripImage)
            DeleteObject(stripImage);
        if (stripMask)
            DeleteObject(stripMask);
        stripImage = stripMask = nullptr;
    }
    ImageListModel model;
    // The images side by side, made when IMAGEINFO asks for them.
    HBITMAP stripImage = nullptr;
    HBITMAP stripMask = nullptr;
};

// The live lists: a handle is checked here before it is used.
std::unordered_set<ImageListObject*>& Lists()
{
    static auto* lists = new std::unordered_set<ImageListObject*>();
    return *lists;
}

ImageListObject* Find(HIMAGELIST himl)
{
    auto* object = reinterpret_cast<ImageListObject*>(himl);
    return object && Lists().count(object) ? object : nullptr;
}

HIMAGELIST Adopt(ImageListModel model)
{
    auto* object = new ImageListObject(std::move(model));
    Lists().insert(object);
    return reinterpret_cast<HIMAGELIST>(object);
}

// A top-down 32-bit DIB section of the given pixels (0x00RRGGBB).
HBITMAP MakeBitmap(const uint32_t* pixels, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits && pixels)
        std::memcpy(bits, pixels, static_cast<size_t>(width) * height * 4);
    return bitmap;
}

// The pixels of a bitmap, 0x00RRGGBB, top row first.
bool ReadPixels(HBITMAP bitmap, std::vector<uint32_t>& pixels, int& width, int& height)
{
    BITMAP bm{};
    if (!bitmap || !GetObject(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    width = bm.bmWidth;
    height = bm.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    pixels.assign(static_cast<size_t>(width) * height, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    const int lines = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return lines == height;
}

// The mask of an image as a bitmap: white where it is transparent, black where it shows.
std::vector<uint32_t> MaskPixels(const ImageListModel::Image& image)
{
    std::vector<uint32_t> mask(image.transparent.size());
    for (size_t k = 0; k < mask.size(); ++k)
        mask[k] = image.transparent[k] ? 0xFFFFFFu : 0u;
    return mask;
}

uint32_t Rgb(COLORREF c)
{
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

// Draws one image: the mask clears where the image goes (AND), the image is added (OR).
void Blit(HDC dc, int x, int y, int w, int h, const ImageListModel& list, const ImageListModel::Image& image,
          bool transparent, UINT style, COLORREF blend)
{
    std::vector<uint32_t> pixels = image.pixels;
    if (style & (ILD_BLEND50 | ILD_BLEND25)) {
        // Selection: the shown pixels mixed with the blend colour, half or a quarter.
        const uint32_t b = Rgb(blend);
        const int share = (style & ILD_BLEND50) ? 2 : 4;
        for (size_t k = 0; k < pixels.size(); ++k) {
            if (image.transparent[k])
                continue;
            uint32_t out = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const uint32_t p = (pixels[k] >> shift) & 0xFF;
                const uint32_t q = (b >> shift) & 0xFF;
                out |= ((p * (share - 1) + q) / share) << shift;
            }
            pixels[k] = out;
        }
    }
    HDC memory = CreateCompatibleDC(dc);
    if (style & ILD_MASK) {
        const std::vector<uint32_t> mask = MaskPixels(image);
        HBITMAP bitmap = MakeBitmap(mask.data(), list.Width(), list.Height());
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(dc, x, y, w, h, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
    } else if (transparent) {
        const std::vector<uint32_t> mask = MaskPixels(image);
        HBITMAP maskBitmap = MakeBitmap(mask.data(), list.Width(), list.Height());
        HBITMAP imageBitmap = MakeBitmap(pixels.data(), list.Width(), list.Height());
        HGDIOBJ old = SelectObject(memory, maskBitmap);
        BitBlt(dc, x, y, w, h, memory, 0, 0, SRCAND);
        SelectObject(memory, imageBitmap);
        BitBlt(dc, x, y, w, h, memory, 0, 0, SRCPAINT);
        SelectObject(memory, old);
        DeleteObject(maskBitmap);
        DeleteObject(imageBitmap);
    } else {
        HBITMAP imageBitmap = MakeBitmap(pixels.data(), list.Width(), list.Height());
        HGDIOBJ old = SelectObject(memory, imageBitmap);
        BitBlt(dc, x, y, w, h, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(imageBitmap);
    }
    DeleteDC(memory);
}

ImageListObject* Valid(HIMAGELIST handle, int i)
{
    ImageListObject* himl = Find(handle);
    return himl && i >= 0 && i < himl->model.Count() ? himl : nullptr;
}

} // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int)
{
    if (cx <= 0 || cy <= 0 || cx > ImageListModel::kMaxSide || cy > ImageListModel::kMaxSide)
        return nullptr;
    return Adopt(ImageListModel(cx, cy, flags));
}

BOOL ImageList_Destroy(HIMAGELIST handle)
{
    ImageListObject* himl = Find(handle);
    if (!himl)
        return FALSE;
    Lists().erase(himl);
    delete himl;
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST handle)
{
    ImageListObject* himl = Find(handle);
    return himl ? himl->model.Count() : 0;
}

int ImageList_Add(HIMAGELIST handle, HBITMAP hbmImage, HBITMAP hbmMask)
{
    ImageListObject* himl = Find(handle);
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    if (!himl || !ReadPixels(hbmImage, pixels, w, h) || h < himl->model.Height())
        return -1;
    std::vector<uint8_t> clear;
    std::vector<uint32_t> mask;
    int mw = 0, mh = 0;
    if (hbmMask && ReadPixels(hbmMask, mask, mw, mh) && mw >= w && mh >= h) {
        clear.resize(pixels.size());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                clear[static_cast<size_t>(y) * w + x] = mask[static_cast<size_t>(y) * mw + x] != 0;
    }
    himl->DropStrips();
    return himl->model.AddStrip(pixels.data(), clear.empty() ? nullptr : clear.data(), w, CLR_NONE);
}

int ImageList_AddMasked(HIMAGELIST handle, HBITMAP hbmImage, COLORREF crMask)
{
    ImageListObject* himl = Find(handle);
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    if (!himl || !ReadPixels(hbmImage, pixels, w, h) || h < himl->model.Height())
        return -1;
    himl->DropStrips();
    return himl->model.AddStrip(pixels.data(), nullptr, w, crMask);
}

int ImageList_ReplaceIcon(HIMAGELIST handle, int i, HICON hicon)
{
    ImageListObject* himl = Find(handle);
    ICONINFO info{};
    if (!himl || !GetIconInfo(hicon, &info))
        return -1;
    std::vector<uint32_t> color, mask;
    int cw = 0, ch = 0, mw = 0, mh = 0;
    const bool ok = ReadPixels(info.hbmColor, color, cw, ch) && ReadPixels(info.hbmMask, mask, mw, mh);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (!ok)
        return -1;
    // The icon is fitted to the list's size by taking its top-left part (scaled icons are the
    // caller's to make).
    const ImageListModel& model = himl->model;
    ImageListModel::Image image;
    image.pixels.assign(static_cast<size_t>(model.Width()) * model.Height(), 0);
    image.transparent.assign(image.pixels.size(), 1);
    for (int y = 0; y < std::min(ch, model.Height()); ++y)
        for (int x = 0; x < std::min(cw, model.Width()); ++x) {
            const size_t to = static_cast<size_t>(y) * model.Width() + x;
            const bool clear = y < mh && x < mw && mask[static_cast<size_t>(y) * mw + x] != 0;
            image.transparent[to] = clear ? 1 : 0;
            image.pixels[to] = color[static_cast<size_t>(y) * cw + x];
        }
    himl->DropStrips();
    return himl->model.Put(i, std::move(image));
}

BOOL ImageList_Remove(HIMAGELIST handle, int i)
{
    ImageListObject* himl = Find(handle);
    if (!himl)
        return FALSE;
    himl->DropStrips();
    return himl->model.Remove(i) ? TRUE : FALSE;
}

BOOL ImageList_DrawEx(HIMAGELIST handle, int i, HDC hdcDst, int x, int y, int dx, int dy, COLORREF rgbBk,
                      COLORREF rgbFg, UINT fStyle)
{
    ImageListObject* himl = Find(handle);
    if (!(himl && i >= 0 && i < himl->model.Count()) || !hdcDst)
        return FALSE;
    const ImageListModel& model = himl->model;
    const int w = dx > 0 ? std::min(dx, model.Width()) : model.Width();
    const int h = dy > 0 ? std::min(dy, model.Height()) : model.Height();
    const COLORREF back = rgbBk == CLR_DEFAULT ? model.background : rgbBk;
    const COLORREF blend = rgbFg == CLR_DEFAULT || rgbFg == CLR_NONE ? GetSysColor(COLOR_HIGHLIGHT) : rgbFg;
    const bool masked = model.Masked() && !(fStyle & ILD_IMAGE);
    bool transparent = masked;
    if (masked && !(fStyle & ILD_TRANSPARENT) && back != CLR_NONE) {
        // Drawn on the list's background: the transparent pixels take that colour.
        HBRUSH brush = CreateSolidBrush(back);
        RECT r{x, y, x + w, y + h};
        FillRect(hdcDst, &r, brush);
        DeleteObject(brush);
    }
    Blit(hdcDst, x, y, w, h, model, model.At(i), transparent, fStyle & (ILD_MASK | ILD_BLEND25 | ILD_BLEND50), blend);
    const int overlay = model.Overlay(static_cast<int>((fStyle & ILD_OVERLAYMASK) >> 8));
    if (overlay >= 0 && overlay < model.Count() && !(fStyle & ILD_MASK))
        Blit(hdcDst, x, y, w, h, model, model.At(overlay), model.Masked(), 0, blend);
    return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST handle, int i, HDC hdcDst, int x, int y, UINT fStyle)
{
    return ImageList_DrawEx(handle, i, hdcDst, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, fStyle);
}

COLORREF ImageList_SetBkColor(HIMAGELIST handle, COLORREF clrBk)
{
    ImageListObject* himl = Find(handle);
    if (!himl)
        return CLR_NONE;
    const COLORREF old = himl->model.background;
    himl->model.background = clrBk;
    return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST handle)
{
    ImageListObject* himl = Find(handle);
    return himl ? himl->model.background : CLR_NONE;
}

BOOL ImageList_SetOverlayImage(HIMAGELIST handle, int iImage, int iOverlay)
{
    ImageListObject* himl = Find(handle);
    return himl && himl->model.SetOverlay(iImage, iOverlay) ? TRUE : FALSE;
}

BOOL ImageList_GetImageInfo(HIMAGELIST handle, int i, IMAGEINFO* pImageInfo)
{
    ImageListObject* himl = Find(handle);
    if (!(himl && i >= 0 && i < himl->model.Count()) || !pImageInfo)
        return FALSE;
    const ImageListModel& model = himl->model;
    if (!himl->stripImage) {
        const int w = model.Width() * model.Count();
        std::vector<uint32_t> image(static_cast<size_t>(w) * model.Height());
        std::vector<uint32_t> mask(image.size());
        for (int k = 0; k < model.Count(); ++k) {
            const std::vector<uint32_t> m = MaskPixels(model.At(k));
            for (int y = 0; y < model.Height(); ++y)
                for (int x = 0; x < model.Width(); ++x) {
                    const size_t from = static_cast<size_t>(y) * model.Width() + x;
                    const size_t to = static_cast<size_t>(y) * w + k * model.Width() + x;
                    image[to] = model.At(k).pixels[from];
                    mask[to] = m[from];
                }
        }
        himl->stripImage = MakeBitmap(image.data(), w, model.Height());
        if (model.Masked())
            himl->stripMask = MakeBitmap(mask.data(), w, model.Height());
    }
    pImageInfo->hbmImage = himl->stripImage;
    pImageInfo->hbmMask = himl->stripMask;
    pImageInfo->Unused1 = pImageInfo->Unused2 = 0;
    pImageInfo->rcImage = RECT{i * model.Width(), 0, (i + 1) * model.Width(), model.Height()};
    return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST handle, int* cx, int* cy)
{
    ImageListObject* himl = Find(handle);
    if (!himl || !cx || !cy)
        return FALSE;
    *cx = himl->model.Width();
    *cy = himl->model.Height();
    return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST handle, int i, UINT flags)
{
    ImageListObject* himl = Find(handle);
    if (!(himl && i >= 0 && i < himl->model.Count()))
        return nullptr;
    const ImageListModel& model = himl->model;
    ImageListModel::Image image = model.At(i);
    const int overlay = model.Overlay(static_cast<int>((flags & ILD_OVERLAYMASK) >> 8));
    if (overlay >= 0 && overlay < model.Count()) {
        const auto& top = model.At(overlay);
        for (size_t k = 0; k < image.pixels.size(); ++k)
            if (!top.transparent[k]) {
                image.pixels[k] = top.pixels[k];
                image.transparent[k] = 0;
            }
    }
    const std::vector<uint32_t> mask = MaskPixels(image);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = MakeBitmap(image.pixels.data(), model.Width(), model.Height());
    info.hbmMask = MakeBitmap(mask.data(), model.Width(), model.Height());
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return icon;
}

HIMAGELIST ImageList_Merge(HIMAGELIST himl1, int i1, HIMAGELIST himl2, int i2, int dx, int dy)
{
    ImageListObject* a = Valid(himl1, i1);
    ImageListObject* b = Valid(himl2, i2);
    if (!a || !b)
        return nullptr;
    return Adopt(ImageListModel::Merge(a->model, i1, b->model, i2, dx, dy));
}

BOOL ImageList_Write(HIMAGELIST handle, CArchive& ar)
{
    ImageListObject* himl = Find(handle);
    if (!himl || !ar.IsStoring())
        return FALSE;
    himl->model.Write(ar);
    return TRUE;
}

HIMAGELIST ImageList_Read(CArchive& ar)
{
    if (!ar.IsLoading())
        return nullptr;
    ImageListModel model(1, 1, 0);
    if (!ImageListModel::Read(ar, model))
        return nullptr;
    return Adopt(std::move(model));
}
