#include "platform/afx/bars/CDockState.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CDockBar.h"
#include "platform/core/RegistryStore.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <memory>
#include <cstdio>

IMPLEMENT_DYNAMIC(CDockState, CObject)

namespace {

CString Section(LPCTSTR name, LPCTSTR format, int index = 0)
{
    CString section;
    section.Format(format, name, index);
    return section;
}

// Positions kept from a larger screen must still land on this one, with a little of the bar
// left to grab.
constexpr int kOnScreenMargin = 16;

} // namespace

BOOL CControlBarInfo::SaveState(LPCTSTR lpszProfileName, int nIndex)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return FALSE;
    // A side nobody docked on says nothing the defaults do not.
    if (m_bDockBar && m_bVisible && !m_bFloating && m_pointPos == CPoint(-1, -1) && m_arrBarID.GetSize() <= 1)
        return FALSE;
    const CString section = Section(lpszProfileName, "%s-Bar%d", nIndex);
    app->WriteProfileString(section, nullptr, nullptr);   // nothing of an older layout remains

    app->WriteProfileInt(section, "BarID", static_cast<int>(m_nBarID));
    if (!m_bVisible)
        app->WriteProfileInt(section, "Visible", m_bVisible);
    if (m_bFloating) {
        app->WriteProfileInt(section, "Horz", m_bHorz);
        app->WriteProfileInt(section, "Floating", m_bFloating);
    }
    if (m_pointPos.x != -1)
        app->WriteProfileInt(section, "XPos", m_pointPos.x);
    if (m_pointPos.y != -1)
        app->WriteProfileInt(section, "YPos", m_pointPos.y);
    if (m_nMRUWidth != 32767)
        app->WriteProfileInt(section, "MRUWidth", static_cast<int>(m_nMRUWidth));
    if (m_bDocking) {
        app->WriteProfileInt(section, "Docking", m_bDocking);
        app->WriteProfileInt(section, "MRUDockID", static_cast<int>(m_uMRUDockID));
        app->WriteProfileInt(section, "MRUDockLeftPos", m_rectMRUDockPos.left);
        app->WriteProfileInt(section, "MRUDockTopPos", m_rectMRUDockPos.top);
        app->WriteProfileInt(section, "MRUDockRightPos", m_rectMRUDockPos.right);
        app->WriteProfileInt(section, "MRUDockBottomPos", m_rectMRUDockPos.bottom);
        app->WriteProfileInt(section, "MRUFloatStyle", static_cast<int>(m_dwMRUFloatStyle));
        app->WriteProfileInt(section, "MRUFloatXPos", m_ptMRUFloatPos.x);
        app->WriteProfileInt(section, "MRUFloatYPos", m_ptMRUFloatPos.y);
    }
    if (m_arrBarID.GetSize() > 1) {
        app->WriteProfileInt(section, "Bars", static_cast<int>(m_arrBarID.GetSize()));
        for (INT_PTR i = 0; i < m_arrBarID.GetSize(); ++i) {
            CString key;
            key.Format("Bar#%d", static_cast<int>(i));
            app->WriteProfileInt(section, key, static_cast<int>(reinterpret_cast<UINT_PTR>(m_arrBarID[i])));
        }
    }
    return TRUE;
}

BOOL CControlBarInfo::LoadState(LPCTSTR lpszProfileName, int nIndex, CDockState* pDockState)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return FALSE;
    const CString section = Section(lpszProfileName, "%s-Bar%d", nIndex);
    m_nBarID = app->GetProfileInt(section, "BarID", 0);
    // Dock bars have their own ids; the profile says no more about them.
    m_bDockBar = m_nBarID >= AFX_IDW_DOCKBAR_TOP && m_nBarID <= AFX_IDW_DOCKBAR_FLOAT;
    m_bVisible = app->GetProfileInt(section, "Visible", TRUE) != 0;
    m_bHorz = app->GetProfileInt(section, "Horz", TRUE) != 0;
    m_bFloating = app->GetProfileInt(section, "Floating", FALSE) != 0;
    m_pointPos.x = static_cast<int>(app->GetProfileInt(section, "XPos", -1));
    m_pointPos.y = static_cast<int>(app->GetProfileInt(section, "YPos", -1));
    if (pDockState && m_pointPos != CPoint(-1, -1))
        pDockState->ScalePoint(m_pointPos);
    m_nMRUWidth = app->GetProfileInt(section, "MRUWidth", 32767);
    m_bDocking = app->GetProfileInt(section, "Docking", FALSE) != 0;
    if (m_bDocking) {
        m_uMRUDockID = app->GetProfileInt(section, "MRUDockID", 0);
        m_rectMRUDockPos.left = static_cast<int>(app->GetProfileInt(section, "MRUDockLeftPos", 0));
        m_rectMRUDockPos.top = static_cast<int>(app->GetProfileInt(section, "MRUDockTopPos", 0));
        m_rectMRUDockPos.right = static_cast<int>(app->GetProfileInt(section, "MRUDockRightPos", 0));
        m_rectMRUDockPos.bottom = static_cast<int>(app->GetProfileInt(section, "MRUDockBottomPos", 0));
        if (pDockState)
            pDockState->ScaleRectPos(m_rectMRUDockPos);
        m_dwMRUFloatStyle = app->GetProfileInt(section, "MRUFloatStyle", 0);
        m_ptMRUFloatPos.x = static_cast<int>(app->GetProfileInt(section, "MRUFloatXPos", 0));
        m_ptMRUFloatPos.y = static_cast<int>(app->GetProfileInt(section, "MRUFloatYPos", 0));
        if (pDockState)
            pDockState->ScalePoint(m_ptMRUFloatPos);
    }
    // A count beyond any real layout is a damaged profile, not a reason to allocate without end;
    // the list ends at its first missing entry (a saved list has every one, a row's end a 0), so
    // a damaged count does not have the profile asked tens of thousands of times.
    const int count = std::clamp(static_cast<int>(app->GetProfileInt(section, "Bars", 0)), 0, 0x10000);
    constexpr UINT kAbsent = 0x7FFFFFF1;
    m_arrBarID.RemoveAll();
    for (int i = 0; i < count; ++i) {
        CString key;
        key.Format("Bar#%d", i);
        const UINT nID = app->GetProfileInt(section, key, static_cast<int>(kAbsent));
        if (nID == kAbsent)
            break;
        m_arrBarID.Add(reinterpret_cast<void*>(static_cast<UINT_PTR>(nID)));
    }
    return m_nBarID != 0;
}

BOOL CControlBarInfo::Serialize(CArchive& ar, CDockState* pDockState)
{
    const DWORD version = pDockState ? pDockState->m_dwVersion : CDockState::kCurrentVersion;
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_nBarID) << static_cast<DWORD>(m_bVisible) << static_cast<DWORD>(m_bFloating)
           << static_cast<DWORD>(m_bHorz) << static_cast<LONG>(m_pointPos.x) << static_cast<LONG>(m_pointPos.y);
        if (version > 1) {
            ar << static_cast<DWORD>(m_nMRUWidth) << static_cast<DWORD>(m_bDocking);
            if (m_bDocking) {
                ar << static_cast<DWORD>(m_uMRUDockID) << static_cast<LONG>(m_rectMRUDockPos.left)
                   << static_cast<LONG>(m_rectMRUDockPos.top) << static_cast<LONG>(m_rectMRUDockPos.right)
                   << static_cast<LONG>(m_rectMRUDockPos.bottom) << static_cast<DWORD>(m_dwMRUFloatStyle)
                   << static_cast<LONG>(m_ptMRUFloatPos.x) << static_cast<LONG>(m_ptMRUFloatPos.y);
            }
        }
        // The count is a WORD: a dock bar never holds that many entries.
        const auto count = static_cast<WORD>(std::min<INT_PTR>(m_arrBarID.GetSize(), 0xFFFF));
        ar << count;
        for (WORD i = 0; i < count; ++i)
            ar << static_cast<DWORD>(reinterpret_cast<UINT_PTR>(m_arrBarID[i]));
        return TRUE;
    }

    DWORD id = 0, visible = 0, floating = 0, horz = 0;
    LONG x = 0, y = 0;
    ar >> id >> visible >> floating >> horz >> x >> y;
    m_nBarID = id;
    m_bDockBar = m_nBarID >= AFX_IDW_DOCKBAR_TOP && m_nBarID <= AFX_IDW_DOCKBAR_FLOAT;
    m_bVisible = visible != 0;
    m_bFloating = floating != 0;
    m_bHorz = horz != 0;
    m_pointPos = CPoint(x, y);
    if (version > 1) {
        if (pDockState && m_pointPos != CPoint(-1, -1))
            pDockState->ScalePoint(m_pointPos);
        DWORD mruWidth = 0, docking = 0;
        ar >> mruWidth >> docking;
        m_nMRUWidth = mruWidth;
        m_bDocking = docking != 0;
        if (m_bDocking) {
            DWORD dockID = 0, floatStyle = 0;
            LONG l = 0, t = 0, r = 0, b = 0, fx = 0, fy = 0;
            ar >> dockID >> l >> t >> r >> b >> floatStyle >> fx >> fy;
            m_uMRUDockID = dockID;
            m_rectMRUDockPos.SetRect(l, t, r, b);
            m_dwMRUFloatStyle = floatStyle;
            m_ptMRUFloatPos = CPoint(fx, fy);
            if (pDockState) {
                pDockState->ScaleRectPos(m_rectMRUDockPos);
                pDockState->ScalePoint(m_ptMRUFloatPos);
            }
        }
    }
    WORD count = 0;
    ar >> count;
    m_arrBarID.RemoveAll();
    for (WORD i = 0; i < count; ++i) {
        DWORD entry = 0;
        ar >> entry;
        m_arrBarID.Add(reinterpret_cast<void*>(static_cast<UINT_PTR>(entry)));
    }
    return m_nBarID != 0;
}

void CDockState::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_dwVersion;
        // The positions held are on this screen (a loaded layout was scaled to it).
        if (m_dwVersion > 1)
            ar << static_cast<LONG>(m_sizeDevice.cx) << static_cast<LONG>(m_sizeDevice.cy);
        const auto count = static_cast<WORD>(std::min<INT_PTR>(m_arrBarInfo.GetSize(), 0xFFFF));
        ar << count;
        for (WORD i = 0; i < count; ++i)
            static_cast<CControlBarInfo*>(m_arrBarInfo[i])->Serialize(ar, this);
        return;
    }

    Clear();
    ar >> m_dwVersion;
    if (m_dwVersion > 1) {
        LONG cx = 0, cy = 0;
        ar >> cx >> cy;
        SetScreenSize(CSize(cx, cy));
    } else {
        SetScreenSize(m_sizeDevice);   // nothing to scale from
    }
    WORD count = 0;
    ar >> count;
    for (WORD i = 0; i < count; ++i) {
        auto info = std::make_unique<CControlBarInfo>();
        info->Serialize(ar, this);   // a short archive throws, and the bars read so far stay owned
        m_arrBarInfo.Add(info.release());
    }
    m_dwVersion = kCurrentVersion;
}

CDockState::CDockState()
{
    m_sizeDevice = CSize(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    m_sizeScreen = m_sizeDevice;
}

CDockState::~CDockState()
{
    Clear();
}

void CDockState::Clear()
{
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i)
        delete static_cast<CControlBarInfo*>(m_arrBarInfo[i]);
    m_arrBarInfo.RemoveAll();
}

void CDockState::SetScreenSize(const CSize& size)
{
    m_sizeScreen = size;
    m_bScaling = size.cx > 0 && size.cy > 0 && size != m_sizeDevice;
}

void CDockState::ScalePoint(CPoint& pt) const
{
    if (m_bScaling) {
        pt.x = static_cast<int>(static_cast<long long>(pt.x) * m_sizeDevice.cx / m_sizeScreen.cx);
        pt.y = static_cast<int>(static_cast<long long>(pt.y) * m_sizeDevice.cy / m_sizeScreen.cy);
    }
    pt.x = std::min<int>(pt.x, m_sizeDevice.cx - kOnScreenMargin);
    pt.y = std::min<int>(pt.y, m_sizeDevice.cy - kOnScreenMargin);
}

void CDockState::ScaleRectPos(CRect& rect) const
{
    // The place moves with the screen; the size is the bar's own.
    CPoint pt = rect.TopLeft();
    ScalePoint(pt);
    rect.OffsetRect(pt - rect.TopLeft());
}

void CDockState::SaveState(LPCTSTR lpszProfileName)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    // Every bar writes a dozen values: let the settings file be written once, at the end.
    CRegistryWriteBatch batch;
    int saved = 0;
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i)
        if (static_cast<CControlBarInfo*>(m_arrBarInfo[i])->SaveState(lpszProfileName, saved))
            ++saved;
    const CString summary = Section(lpszProfileName, "%s-Summary");
    app->WriteProfileInt(summary, "Bars", saved);
    app->WriteProfileInt(summary, "ScreenCX", m_sizeDevice.cx);
    app->WriteProfileInt(summary, "ScreenCY", m_sizeDevice.cy);
}

void CDockState::LoadState(LPCTSTR lpszProfileName)
{
    Clear();
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    const CString summary = Section(lpszProfileName, "%s-Summary");
    const int bars = std::clamp(static_cast<int>(app->GetProfileInt(summary, "Bars", 0)), 0, 0x10000);
    SetScreenSize(CSize(static_cast<int>(app->GetProfileInt(summary, "ScreenCX", 0)),
                        static_cast<int>(app->GetProfileInt(summary, "ScreenCY", 0))));
    for (int i = 0; i < bars; ++i) {
        auto* info = new CControlBarInfo;
        if (info->LoadState(lpszProfileName, i, this))
            m_arrBarInfo.Add(info);
        else
            delete info;   // a section without a bar id names no bar
    }
}
