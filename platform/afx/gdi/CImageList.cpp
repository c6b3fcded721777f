#include "platform/afx/gdi/CImageList.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/AfxThreadState.h"

IMPLEMENT_DYNCREATE(CImageList, CObject)

CImageList::~CImageList()
{
    if (m_hImageList && FromHandlePermanent(m_hImageList) == this)
        DeleteImageList();
}

CImageList* PASCAL CImageList::FromHandlePermanent(HIMAGELIST hImageList)
{
    return AfxGetThreadState()->m_imageLists.LookupPermanent(hImageList);
}

CImageList* PASCAL CImageList::FromHandle(HIMAGELIST hImageList)
{
    if (!hImageList)
        return nullptr;
    auto& map = AfxGetThreadState()->m_imageLists;
    if (CImageList* p = map.LookupPermanent(hImageList))
        return p;
    if (CImageList* p = map.LookupTemporary(hImageList))
        return p;
    auto* p = new CImageList;
    p->m_hImageList = hImageList;
    map.temporary[hImageList] = p;
    return p;
}

void PASCAL CImageList::DeleteTempMap()
{
    auto doomed = std::move(AfxGetThreadState()->m_imageLists.temporary);
    AfxGetThreadState()->m_imageLists.temporary.clear();
    for (auto& [h, p] : doomed) {
        p->m_hImageList = nullptr;
        delete p;
    }
}

BOOL CImageList::Attach(HIMAGELIST hImageList)
{
    if (!hImageList || m_hImageList)
        return FALSE;
    auto& map = AfxGetThreadState()->m_imageLists;
    if (map.LookupPermanent(hImageList))
        return FALSE;
    m_hImageList = hImageList;
    map.permanent[hImageList] = this;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST h = m_hImageList;
    if (h) {
        auto& map = AfxGetThreadState()->m_imageLists.permanent;
        auto it = map.find(h);
        if (it != map.end() && it->second == this)
            map.erase(it);
    }
    m_hImageList = nullptr;
    return h;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    return ImageList_Destroy(Detach());
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    CBitmap bitmap;
    BITMAP info{};
    if (cx <= 0 || !bitmap.LoadBitmap(nBitmapID) || !bitmap.GetBitmap(&info))
        return FALSE;
    if (!Create(cx, info.bmHeight, ILC_COLOR32 | (crMask != CLR_NONE ? ILC_MASK : 0), info.bmWidth / cx, nGrow))
        return FALSE;
    const int added = crMask != CLR_NONE ? Add(&bitmap, crMask) : Add(&bitmap, static_cast<CBitmap*>(nullptr));
    if (added < 0) {
        DeleteImageList();
        return FALSE;
    }
    return TRUE;
}

BOOL CImageList::Create(CImageList& imagelist1, int nImage1, CImageList& imagelist2, int nImage2, int dx, int dy)
{
    return Attach(ImageList_Merge(imagelist1.m_hImageList, nImage1, imagelist2.m_hImageList, nImage2, dx, dy));
}

int CImageList::GetImageCount() const
{
    return ImageList_GetImageCount(m_hImageList);
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ImageList_Add(m_hImageList, pbmImage ? static_cast<HBITMAP>(pbmImage->m_hObject) : nullptr,
                         pbmMask ? static_cast<HBITMAP>(pbmMask->m_hObject) : nullptr);
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask)
{
    return ImageList_AddMasked(m_hImageList, pbmImage ? static_cast<HBITMAP>(pbmImage->m_hObject) : nullptr, crMask);
}

int CImageList::Add(HICON hIcon)
{
    return ImageList_ReplaceIcon(m_hImageList, -1, hIcon);
}

int CImageList::Replace(int nImage, HICON hIcon)
{
    return ImageList_ReplaceIcon(m_hImageList, nImage, hIcon);
}

BOOL CImageList::Remove(int nImage)
{
    return ImageList_Remove(m_hImageList, nImage);
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
{
    return pDC && ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
}

BOOL CImageList::DrawIndirect(CDC* pDC, int nImage, POINT pt, SIZE sz, POINT, UINT fStyle, DWORD, COLORREF rgbBack,
                              COLORREF rgbFore)
{
    return pDC && ImageList_DrawEx(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, sz.cx, sz.cy, rgbBack, rgbFore, fStyle);
}

COLORREF CImageList::SetBkColor(COLORREF cr)
{
    return ImageList_SetBkColor(m_hImageList, cr);
}

COLORREF CImageList::GetBkColor() const
{
    return ImageList_GetBkColor(m_hImageList);
}

BOOL CImageList::SetOverlayImage(int nImage, int nOverlay)
{
    return ImageList_SetOverlayImage(m_hImageList, nImage, nOverlay);
}

BOOL CImageList::GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const
{
    return ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo);
}

HICON CImageList::ExtractIcon(int nImage)
{
    return ImageList_GetIcon(m_hImageList, nImage, ILD_NORMAL);
}

BOOL CImageList::Read(CArchive* pArchive)
{
    if (!pArchive || m_hImageList)
        return FALSE;
    return Attach(ImageList_Read(*pArchive));
}

BOOL CImageList::Write(CArchive* pArchive)
{
    return pArchive && m_hImageList && ImageList_Write(m_hImageList, *pArchive);
}
