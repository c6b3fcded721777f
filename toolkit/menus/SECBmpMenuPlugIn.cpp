#include "toolkit/menus/SECBmpMenuPlugIn.h"

#include <algorithm>
#include <cctype>

#include "platform/afx/AfxMessages.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/afx/wnd/MessageMap.h"
#include "platform/win/Gdi.h"
#include "platform/win/MenuApi.h"
#include "platform/win/ResourceImages.h"
#include "platform/win/SystemParameters.h"
#include "toolkit/toolbars/SECBmpMgr.h"

IMPLEMENT_DYNAMIC(SECBmpMenuItemInfo, CObject)
IMPLEMENT_DYNAMIC(SECBmpMenuPlugIn, SECWndPlugIn)

BEGIN_MESSAGE_MAP(SECBmpMenuPlugIn, SECWndPlugIn)
    ON_MESSAGE(WM_MEASUREITEM, &SECBmpMenuPlugIn::OnMeasureItem)
    ON_MESSAGE(WM_DRAWITEM, &SECBmpMenuPlugIn::OnDrawItem)
    ON_MESSAGE(WM_MENUCHAR, &SECBmpMenuPlugIn::OnMenuChar)
    ON_MESSAGE(WM_INITMENUPOPUP, &SECBmpMenuPlugIn::OnInitMenuPopup)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, &SECBmpMenuPlugIn::OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_SETTINGCHANGE, &SECBmpMenuPlugIn::OnSettingChange)
    ON_MESSAGE(WM_SYSCOLORCHANGE, &SECBmpMenuPlugIn::OnSysColorChange)
END_MESSAGE_MAP()

namespace {

// The toolkit's check mark, drawn in the button colours.
constexpr UINT kIdbCheckMark = 20525;

// Colours shared by every plug-in, read at each construction and on colour changes.
enum { kFace, kHilite, kHilite2, kShadow, kHighlight, kMenu, kGrayText, kHighlightText, kMenuText, kColours };
COLORREF g_colours[kColours];

void ReadColours()
{
    static const int indices[kColours] = {COLOR_3DFACE, COLOR_3DHILIGHT, COLOR_3DHILIGHT, COLOR_3DSHADOW, COLOR_HIGHLIGHT,
                                          COLOR_MENU, COLOR_GRAYTEXT, COLOR_HIGHLIGHTTEXT, COLOR_MENUTEXT};
    for (int i = 0; i < kColours; ++i)
        g_colours[i] = ::GetSysColor(indices[i]);
}

void Fill(HDC hDC, const RECT& rc, COLORREF colour)
{
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(hDC, &rc, brush);
    ::DeleteObject(brush);
}

char MnemonicOf(const CString& text)
{
    const int amp = text.Find('&');
    if (amp < 0 || amp + 1 >= text.GetLength())
        return 0;
    return static_cast<char>(std::tolower(static_cast<unsigned char>(text[amp + 1])));
}

bool IsSystemCommand(UINT id) { return id >= 0xF000 && id <= 0xFEFF; }

}   // namespace

SECBmpMenuPlugIn::SECBmpMenuPlugIn(BOOL bToolkitCheckMark) : m_bToolkitCheckMark(bToolkitCheckMark)
{
    ReadColours();
    m_pBmpMgr = new SECBmpMgr;   // a default of its own until a frame's manager is given
    m_pBmpMgr->SetKeepBoth(TRUE);
    if (bToolkitCheckMark) {
        // A 16 x 15 dot for radio items: white but for five rows around the middle.
        WORD rows[15];
        std::fill(std::begin(rows), std::end(rows), static_cast<WORD>(0xFFFF));
        const WORD dot[5] = {0x06, 0x0F, 0x0F, 0x0F, 0x06};
        BYTE bits[30];
        for (int i = 0; i < 5; ++i)
            rows[5 + i] = static_cast<WORD>(~(dot[i] << 6));
        for (int i = 0; i < 15; ++i) {
            bits[2 * i] = static_cast<BYTE>(rows[i] >> 8);
            bits[2 * i + 1] = static_cast<BYTE>(rows[i] & 0xFF);
        }
        m_hbmRadioDot = ::CreateBitmap(16, 15, 1, 1, bits);
        if (m_hbmRadioDot == nullptr)
            m_hbmRadioDot = ::LoadBitmap(nullptr, MAKEINTRESOURCE(OBM_MNARROW));
        if (m_hbmRadioDot != nullptr) {
            m_hbmOldRadioDot = AfxSetMenuRadioBitmap(m_hbmRadioDot);
            m_bInstalledRadioDot = TRUE;
        }
    }
}

SECBmpMenuPlugIn::~SECBmpMenuPlugIn()
{
    RestoreAllItems();
    for (auto& [menu, info] : m_menus) {
        for (SECBmpMenuItemInfo* record : info->items)
            delete record;
        delete info;
    }
    m_menus.clear();
    m_records.clear();
    if (m_pBmpMgr != nullptr)
        m_pBmpMgr->Release();
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(m_hMenuFont), static_cast<HGDIOBJ>(m_hBoldMenuFont),
                           static_cast<HGDIOBJ>(m_hbrDither), static_cast<HGDIOBJ>(m_hbmCheck)}) {
        if (object != nullptr)
            ::DeleteObject(object);
    }
    if (m_bInstalledRadioDot && AfxGetMenuRadioBitmap() == m_hbmRadioDot)
        AfxSetMenuRadioBitmap(m_hbmOldRadioDot);
    if (m_hbmRadioDot != nullptr)
        ::DeleteObject(m_hbmRadioDot);
}

void SECBmpMenuPlugIn::SetBmpMgr(SECBmpMgr* pMgr)
{
    if (pMgr == nullptr || pMgr == m_pBmpMgr)
        return;
    pMgr->AddRef();
    if (m_pBmpMgr != nullptr)
        m_pBmpMgr->Release();
    m_pBmpMgr = pMgr;
    m_pBmpMgr->SetKeepBoth(TRUE);
}

HFONT SECBmpMenuPlugIn::CreateMenuFont(BOOL bBold)
{
    NONCLIENTMETRICS metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return nullptr;
    LOGFONT font = metrics.lfMenuFont;
    if (bBold)
        font.lfWeight = FW_BOLD;
    return ::CreateFontIndirect(&font);
}

HFONT SECBmpMenuPlugIn::GetMenuFont()
{
    if (m_hMenuFont == nullptr)
        m_hMenuFont = CreateMenuFont(FALSE);
    return m_hMenuFont;
}

HFONT SECBmpMenuPlugIn::GetBoldMenuFont()
{
    if (m_hBoldMenuFont == nullptr)
        m_hBoldMenuFont = CreateMenuFont(TRUE);
    return m_hBoldMenuFont;
}

HBRUSH SECBmpMenuPlugIn::DitherBrush()
{
    if (m_hbrDither != nullptr)
        return m_hbrDither;
    // Alternating face and highlight pixels, as the pressed toolbar buttons show.
    uint32_t pixels[64];
    auto pixel = [](COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); };
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pixels[y * 8 + x] = ((x + y) & 1) ? pixel(g_colours[kHilite]) : pixel(g_colours[kFace]);
    HBITMAP pattern = ::CreateBitmap(8, 8, 1, 32, pixels);
    if (pattern != nullptr) {
        m_hbrDither = ::CreatePatternBrush(pattern);
        ::DeleteObject(pattern);
    }
    return m_hbrDither;
}

SECBmpMenuItemInfo* SECBmpMenuPlugIn::FindOwnRecord(ULONG_PTR itemData) const
{
    auto* record = reinterpret_cast<const SECBmpMenuItemInfo*>(itemData);
    return m_records.count(record) ? const_cast<SECBmpMenuItemInfo*>(record) : nullptr;
}

void SECBmpMenuPlugIn::PrepareMenu(HMENU hMenu)
{
    if (!::IsMenu(hMenu))
        return;
    SECBmpMenuInfo*& info = m_menus[hMenu];
    if (info == nullptr) {
        info = new SECBmpMenuInfo;
        info->hMenu = hMenu;
    }
    const int count = ::GetMenuItemCount(hMenu);
    for (int pos = 0; pos < count; ++pos) {
        char text[257] = {};
        MENUITEMINFO mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID | MIIM_TYPE | MIIM_DATA;
        mii.dwTypeData = text;
        mii.cch = 256;
        if (!::GetMenuItemInfo(hMenu, static_cast<UINT>(pos), TRUE, &mii))
            continue;
        const bool ownerDrawn = (mii.fType & MFT_OWNERDRAW) != 0;
        if (!(mii.fType & (MFT_BITMAP | MFT_SEPARATOR)) && !ownerDrawn && !IsSystemCommand(mii.wID)) {
            if (IsForeign(mii.wID))
                continue;
            auto* record = new SECBmpMenuItemInfo;
            record->m_nID = mii.wID;
            record->m_strText = text;
            record->m_cMnemonic = MnemonicOf(record->m_strText);
            MENUITEMINFO set{};
            set.cbSize = sizeof set;
            set.fMask = MIIM_FTYPE | MIIM_DATA;
            set.fType = (mii.fType & ~MFT_STRING) | MFT_OWNERDRAW;
            set.dwItemData = reinterpret_cast<ULONG_PTR>(record);
            if (!::SetMenuItemInfo(hMenu, static_cast<UINT>(pos), TRUE, &set)) {
                delete record;
                continue;
            }
            info->items.push_back(record);
            m_records.insert(record);
        } else if (ownerDrawn && !IsForeign(mii.wID)) {
            const bool ours = std::any_of(info->items.begin(), info->items.end(),
                                          [&](const SECBmpMenuItemInfo* r) { return r->m_nID == mii.wID; });
            if (!ours)
                m_foreignItems.insert(mii.wID);
        }
    }
}

LRESULT SECBmpMenuPlugIn::OnInitMenuPopup(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(lParam) == 0)   // not the system menu
        PrepareMenu(reinterpret_cast<HMENU>(wParam));
    m_bCallDefault = TRUE;
    return 0;
}

LRESULT SECBmpMenuPlugIn::OnMeasureItem(WPARAM /*wParam*/, LPARAM lParam)
{
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (mis == nullptr || mis->CtlType != ODT_MENU || IsForeign(mis->itemID))
        return 0;
    SECBmpMenuItemInfo* record = FindOwnRecord(mis->itemData);
    if (record == nullptr)
        return 0;   // someone else's owner-drawn item
    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(hDC, GetMenuFont());
    const int tab = record->m_strText.Find('\t');
    const CString label = tab < 0 ? record->m_strText : record->m_strText.Left(tab);
    const CString accel = tab < 0 ? CString() : record->m_strText.Mid(tab + 1);
    RECT rc{0, 0, 0, 0};
    ::DrawText(hDC, label, -1, &rc, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    if (!accel.IsEmpty()) {
        RECT ra{0, 0, 0, 0};
        ::DrawText(hDC, "   " + accel, -1, &ra, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
        width += ra.right - ra.left;
    }
    ::SelectObject(hDC, old);
    ::ReleaseDC(nullptr, hDC);
    mis->itemWidth = static_cast<UINT>(width + m_pBmpMgr->GetSmallWidth() + 30);
    mis->itemHeight = static_cast<UINT>(std::max(height, std::max(::GetSystemMetrics(SM_CYMENU), m_pBmpMgr->GetSmallHeight() + 4)));
    m_bExitDefault = TRUE;
    SetReturnValue(1);
    return 1;
}

LRESULT SECBmpMenuPlugIn::OnDrawItem(WPARAM /*wParam*/, LPARAM lParam)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (dis == nullptr || dis->CtlType != ODT_MENU || IsForeign(dis->itemID) || !::IsMenu(reinterpret_cast<HMENU>(dis->hwndItem)))
        return 0;
    SECBmpMenuItemInfo* record = FindOwnRecord(dis->itemData);
    if (record == nullptr)
        return 0;
    DrawItem(*dis, *record);
    m_bExitDefault = TRUE;
    SetReturnValue(TRUE);
    return TRUE;
}

void SECBmpMenuPlugIn::DrawItem(const DRAWITEMSTRUCT& item, const SECBmpMenuItemInfo& info)
{
    HDC hDC = item.hDC;
    const bool checked = (item.itemState & ODS_CHECKED) != 0;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    const int tab = info.m_strText.Find('\t');
    const CString label = tab < 0 ? info.m_strText : info.m_strText.Left(tab);
    const CString accel = tab < 0 ? CString() : info.m_strText.Mid(tab + 1);
    const int cx = m_pBmpMgr->GetSmallWidth(), cy = m_pBmpMgr->GetSmallHeight();

    HBITMAP strip = nullptr;
    int index = -1;
    const bool hasImage = m_pBmpMgr->GetImage(info.m_nID, strip, index, TRUE) && strip != nullptr;
    RECT rc = item.rcItem;
    HGDIOBJ oldFont = ::SelectObject(hDC, (item.itemState & ODS_DEFAULT) ? GetBoldMenuFont() : GetMenuFont());
    rc.left += 1;
    if (hasImage) {
        DrawItemImage(item, hDC, rc, strip, index, cx, cy);
    } else {
        MENUITEMINFO mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_CHECKMARKS;
        ::GetMenuItemInfo(reinterpret_cast<HMENU>(item.hwndItem), item.itemID, FALSE, &mii);
        HBITMAP mark = checked ? mii.hbmpChecked : mii.hbmpUnchecked;
        if (checked && mark == nullptr) {
            if (m_hbmCheck == nullptr) {
                m_hbmCheck = m_bToolkitCheckMark
                                 ? ::CreateMappedBitmap(AfxGetResourceHandle(), kIdbCheckMark, 0, nullptr, 0)
                                 : nullptr;
                if (m_hbmCheck == nullptr)
                    m_hbmCheck = ::CreateMappedBitmap(nullptr, OBM_CHECK, 0, nullptr, 0);
            }
            mark = m_hbmCheck;
        }
        BITMAP bm{};
        if (mark != nullptr && ::GetObject(mark, sizeof bm, &bm) != 0)
            DrawItemImage(item, hDC, rc, mark, 0, bm.bmWidth, bm.bmHeight);
        else
            DrawItemImage(item, hDC, rc, nullptr, -1, cx, cy);
    }
    // A one-pixel column beside the images.
    RECT column{rc.left, rc.top, rc.left + 1, rc.bottom};
    Fill(hDC, column, selected && !hasImage ? g_colours[kHighlight] : g_colours[kMenu]);
    rc.left += 1;
    ::SetBkMode(hDC, TRANSPARENT);
    Fill(hDC, rc, selected ? g_colours[kHighlight] : g_colours[kMenu]);
    if (selected)
        ::SetBkColor(hDC, g_colours[kHighlight]);
    rc.left += 1;
    rc.right -= 23;
    auto drawText = [&](RECT r) {
        ::DrawText(hDC, label, -1, &r, DT_SINGLELINE | DT_VCENTER);
        if (!accel.IsEmpty())
            ::DrawText(hDC, accel, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    };
    if (disabled) {
        if (!selected) {
            RECT shifted{rc.left + 1, rc.top + 1, rc.right + 1, rc.bottom + 1};
            ::SetTextColor(hDC, g_colours[kHilite]);
            drawText(shifted);
        }
        ::SetTextColor(hDC, g_colours[kGrayText]);
    } else {
        ::SetTextColor(hDC, selected ? g_colours[kHighlightText] : g_colours[kMenuText]);
    }
    drawText(rc);
    ::SelectObject(hDC, oldFont);
}

void SECBmpMenuPlugIn::DrawItemImage(const DRAWITEMSTRUCT& item, HDC hDC, RECT& rc, HBITMAP hImages, int nIndex, int cx, int cy)
{
    const bool checked = (item.itemState & ODS_CHECKED) != 0;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    RECT col{rc.left, rc.top, rc.left + m_pBmpMgr->GetSmallWidth() + 4, rc.bottom};
    rc.left = col.right;
    if (nIndex < 0 || hImages == nullptr) {
        Fill(hDC, col, selected ? g_colours[kHighlight] : g_colours[kMenu]);
        return;
    }
    Fill(hDC, col, g_colours[kMenu]);
    const int boxHeight = m_pBmpMgr->GetSmallHeight() + 4;
    RECT box = col;
    box.top = col.top + ((col.bottom - col.top) - boxHeight) / 2;
    box.bottom = box.top + boxHeight;
    if (checked)
        ::DrawEdge(hDC, &box, BDR_SUNKENOUTER, BF_RECT);
    else if (selected && !disabled)
        ::DrawEdge(hDC, &box, BDR_RAISEDINNER, BF_RECT);
    HDC src = ::CreateCompatibleDC(hDC);
    HGDIOBJ old = ::SelectObject(src, hImages);
    const int x = box.left + 2, y = box.top + 2, xSource = nIndex * cx;
    if (disabled) {
        DrawDisabledImage(hDC, src, x, y, cx, cy, xSource);
    } else {
        ::BitBlt(hDC, x, y, cx, cy, src, xSource, 0, SRCCOPY);
        if (checked && !selected)
            DrawCheckedImageBack(hDC, src, x, y, cx, cy, xSource);
    }
    ::SelectObject(src, old);
    ::DeleteDC(src);
}

HBITMAP SECBmpMenuPlugIn::CreateImageMask(HDC hdcSource, HDC& hdcMask, int cx, int cy, int xSource)
{
    hdcMask = ::CreateCompatibleDC(hdcSource);
    HBITMAP mask = ::CreateBitmap(cx, cy, 1, 1, nullptr);
    if (hdcMask == nullptr || mask == nullptr) {
        if (mask)
            ::DeleteObject(mask);
        if (hdcMask)
            ::DeleteDC(hdcMask);
        hdcMask = nullptr;
        return nullptr;
    }
    ::SelectObject(hdcMask, mask);
    ::PatBlt(hdcMask, 0, 0, cx, cy, WHITENESS);
    // Face pixels become white, then highlight pixels too; the rest is the image's foreground.
    const COLORREF oldBk = ::SetBkColor(hdcSource, g_colours[kFace]);
    ::BitBlt(hdcMask, 0, 0, cx, cy, hdcSource, xSource, 0, SRCCOPY);
    ::SetBkColor(hdcSource, g_colours[kHilite]);
    ::BitBlt(hdcMask, 0, 0, cx, cy, hdcSource, xSource, 0, SRCPAINT);
    ::SetBkColor(hdcSource, oldBk);
    return mask;
}

void SECBmpMenuPlugIn::DrawDisabledImage(HDC hDC, HDC hdcSource, int x, int y, int cx, int cy, int xSource)
{
    HDC mask = nullptr;
    HBITMAP bitmap = CreateImageMask(hdcSource, mask, cx, cy, xSource);
    if (bitmap == nullptr)
        return;
    const COLORREF oldText = ::SetTextColor(hDC, RGB(0, 0, 0));
    const COLORREF oldBk = ::SetBkColor(hDC, RGB(255, 255, 255));
    HBRUSH light = ::CreateSolidBrush(g_colours[kHilite]);
    HBRUSH shadow = ::CreateSolidBrush(g_colours[kShadow]);
    HGDIOBJ oldBrush = ::SelectObject(hDC, light);
    ::BitBlt(hDC, x + 1, y + 1, cx, cy, mask, 0, 0, 0xB8074A);
    ::SelectObject(hDC, shadow);
    ::BitBlt(hDC, x, y, cx, cy, mask, 0, 0, 0xB8074A);
    ::SelectObject(hDC, oldBrush);
    ::DeleteObject(light);
    ::DeleteObject(shadow);
    ::SetTextColor(hDC, oldText);
    ::SetBkColor(hDC, oldBk);
    ::DeleteDC(mask);
    ::DeleteObject(bitmap);
}

void SECBmpMenuPlugIn::DrawCheckedImageBack(HDC hDC, HDC hdcSource, int x, int y, int cx, int cy, int xSource)
{
    HDC mask = nullptr;
    HBITMAP bitmap = CreateImageMask(hdcSource, mask, cx, cy, xSource);
    if (bitmap == nullptr)
        return;
    const COLORREF oldBk = ::SetBkColor(hDC, RGB(255, 255, 255));
    const COLORREF oldText = ::SetTextColor(hDC, RGB(0, 0, 0));
    HGDIOBJ oldBrush = ::SelectObject(hDC, DitherBrush());
    ::BitBlt(hDC, x, y, cx, cy, mask, 0, 0, 0xE20746);
    ::SelectObject(hDC, oldBrush);
    ::SetTextColor(hDC, oldText);
    ::SetBkColor(hDC, oldBk);
    ::DeleteDC(mask);
    ::DeleteObject(bitmap);
}

LRESULT SECBmpMenuPlugIn::OnMenuChar(WPARAM wParam, LPARAM lParam)
{
    HMENU hMenu = reinterpret_cast<HMENU>(lParam);
    if (!::IsMenu(hMenu))
        return 0;
    const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(LOWORD(wParam))));
    std::vector<int> matches;
    int highlighted = -1;
    const int count = ::GetMenuItemCount(hMenu);
    for (int pos = 0; pos < count; ++pos) {
        MENUITEMINFO mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA | MIIM_STATE;
        if (!::GetMenuItemInfo(hMenu, static_cast<UINT>(pos), TRUE, &mii))
            continue;
        if (mii.fState & MFS_HILITE)
            highlighted = pos;
        if (!(mii.fType & MFT_OWNERDRAW) || IsForeign(mii.wID))
            continue;
        if (SECBmpMenuItemInfo* record = FindOwnRecord(mii.dwItemData); record && record->m_cMnemonic == key)
            matches.push_back(pos);
    }
    if (matches.empty())
        return 0;
    LRESULT result;
    if (matches.size() == 1) {
        result = MAKELRESULT(matches.front(), MNC_EXECUTE);
    } else {
        auto next = std::find_if(matches.begin(), matches.end(), [&](int pos) { return pos > highlighted; });
        result = MAKELRESULT(next != matches.end() ? *next : matches.front(), MNC_SELECT);
    }
    m_bExitDefault = TRUE;
    SetReturnValue(result);
    return result;
}

void SECBmpMenuPlugIn::Purge()
{
    for (auto it = m_menus.begin(); it != m_menus.end();) {
        SECBmpMenuInfo* info = it->second;
        if (!::IsMenu(info->hMenu)) {
            for (SECBmpMenuItemInfo* record : info->items) {
                m_records.erase(record);
                delete record;
            }
            delete info;
            it = m_menus.erase(it);
            continue;
        }
        // Records whose items no longer carry them go.
        std::set<ULONG_PTR> carried;
        const int count = ::GetMenuItemCount(info->hMenu);
        for (int pos = 0; pos < count; ++pos) {
            MENUITEMINFO mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_DATA;
            if (::GetMenuItemInfo(info->hMenu, static_cast<UINT>(pos), TRUE, &mii))
                carried.insert(mii.dwItemData);
        }
        auto& items = info->items;
        for (auto r = items.begin(); r != items.end();) {
            if (!carried.count(reinterpret_cast<ULONG_PTR>(*r))) {
                m_records.erase(*r);
                delete *r;
                r = items.erase(r);
            } else {
                ++r;
            }
        }
        ++it;
    }
}

LRESULT SECBmpMenuPlugIn::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    Purge();
    m_bCallDefault = TRUE;
    return 0;
}

LRESULT SECBmpMenuPlugIn::OnSysColorChange(WPARAM, LPARAM)
{
    ReadColours();
    if (m_hbrDither != nullptr) {
        ::DeleteObject(m_hbrDither);
        m_hbrDither = nullptr;
    }
    if (m_hbmCheck != nullptr) {
        ::DeleteObject(m_hbmCheck);
        m_hbmCheck = nullptr;
    }
    m_pBmpMgr->ReloadAll(TRUE);
    return 0;
}

LRESULT SECBmpMenuPlugIn::OnSettingChange(WPARAM, LPARAM)
{
    for (HFONT* font : {&m_hMenuFont, &m_hBoldMenuFont}) {
        if (*font != nullptr) {
            ::DeleteObject(*font);
            *font = nullptr;
        }
    }
    m_pBmpMgr->ReloadAll(TRUE);
    Purge();
    // Every item is set plain and back, so the menu measures it again with the new font.
    for (auto& [menu, info] : m_menus) {
        const int count = ::GetMenuItemCount(menu);
        for (int pos = 0; pos < count; ++pos) {
            MENUITEMINFO mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_FTYPE | MIIM_DATA;
            if (!::GetMenuItemInfo(menu, static_cast<UINT>(pos), TRUE, &mii) || !FindOwnRecord(mii.dwItemData))
                continue;
            MENUITEMINFO plain{};
            plain.cbSize = sizeof plain;
            plain.fMask = MIIM_FTYPE | MIIM_STRING;
            plain.fType = mii.fType & ~MFT_OWNERDRAW;
            plain.dwTypeData = const_cast<LPSTR>("");
            ::SetMenuItemInfo(menu, static_cast<UINT>(pos), TRUE, &plain);
            MENUITEMINFO back{};
            back.cbSize = sizeof back;
            back.fMask = MIIM_FTYPE | MIIM_DATA;
            back.fType = mii.fType | MFT_OWNERDRAW;
            back.dwItemData = mii.dwItemData;
            ::SetMenuItemInfo(menu, static_cast<UINT>(pos), TRUE, &back);
        }
    }
    return 0;
}

void SECBmpMenuPlugIn::RestoreAllItems()
{
    for (auto& [menu, info] : m_menus) {
        if (!::IsMenu(menu))
            continue;
        const int count = ::GetMenuItemCount(menu);
        for (int pos = 0; pos < count; ++pos) {
            MENUITEMINFO mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_FTYPE | MIIM_DATA;
            if (!::GetMenuItemInfo(menu, static_cast<UINT>(pos), TRUE, &mii))
                continue;
            SECBmpMenuItemInfo* record = FindOwnRecord(mii.dwItemData);
            if (record == nullptr)
                continue;
            MENUITEMINFO plain{};
            plain.cbSize = sizeof plain;
            plain.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_DATA;
            plain.fType = mii.fType & ~MFT_OWNERDRAW;
            plain.dwTypeData = const_cast<LPSTR>(static_cast<LPCSTR>(record->m_strText));
            plain.dwItemData = 0;
            ::SetMenuItemInfo(menu, static_cast<UINT>(pos), TRUE, &plain);
        }
    }
}
