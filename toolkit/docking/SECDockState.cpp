#include "toolkit/docking/SECDockState.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "platform/core/CArchive.h"
#include "platform/core/CPtrList.h"
#include "platform/core/RegistryStore.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECControlBarManager.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/docking/SECDialogBar.h"
#include "toolkit/docking/SECDockContext.h"
#include "toolkit/docking/SECDockingFrame.h"
#include "toolkit/docking/SECPersistentTreeNode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNCREATE(SECControlBarInfoEx, CObject)
IMPLEMENT_DYNCREATE(SECDockState, CDockState)

namespace {

CString BarSection(LPCTSTR name, int index)
{
    CString section;
    section.Format("%s-Bar%d", name, index);
    return section;
}

// A row share as the profile keeps it: millionths, as a decimal integer.
CString ShareText(float share)
{
    CString text;
    text.Format("%d", static_cast<int>(share * 1000000.0f));
    return text;
}

float ShareFromText(const CString& text)
{
    const long value = std::strtol(text, nullptr, 10);
    const float share = static_cast<float>(static_cast<double>(value) * 0.000001);
    return std::max(share, 0.0f);
}

int NonNegative(int value)
{
    return std::max(value, 0);
}

// A key of a section is there when reading it, as a number or as text, does not give back the
// default asked for.
BOOL HasProfileEntry(CWinApp* app, LPCTSTR section, LPCTSTR key)
{
    constexpr int kAbsent = 0x7FFFFFF1;
    if (app->GetProfileInt(section, key, kAbsent) != static_cast<UINT>(kAbsent))
        return TRUE;
    return app->GetProfileString(section, key, "\x01") != "\x01";
}

} // namespace

// ---- The extension point ----

void SECControlBarInfoEx::Serialize(CArchive&, SECDockState*) {}
BOOL SECControlBarInfoEx::LoadFromNode(SECPersistentTreeNode* pNode)
{
    return pNode != nullptr;
}
BOOL SECControlBarInfoEx::LoadState(LPCTSTR, SECDockState*)
{
    return FALSE;
}
BOOL SECControlBarInfoEx::SaveToNode(SECPTNFactory&, SECPersistentTreeNode* pNode)
{
    return pNode != nullptr;
}
BOOL SECControlBarInfoEx::SaveState(LPCTSTR)
{
    return FALSE;
}

// ---- One bar ----

SECControlBarInfo::SECControlBarInfo(SECControlBarManager* pManager) : m_pManager(pManager) {}

SECControlBarInfo::~SECControlBarInfo()
{
    delete m_pBarInfoEx;
}

void SECControlBarInfo::SetInfoEx(SECControlBarInfoEx* pInfoEx)
{
    if (pInfoEx != m_pBarInfoEx)
        delete m_pBarInfoEx;
    m_pBarInfoEx = pInfoEx;
}

BOOL SECControlBarInfo::SaveState(LPCTSTR lpszProfileName, int nIndex)
{
    if (!CControlBarInfo::SaveState(lpszProfileName, nIndex))
        return FALSE;
    CWinApp* app = AfxGetApp();
    if (!app)
        return FALSE;
    const CString section = BarSection(lpszProfileName, nIndex);
    app->WriteProfileInt(section, "Style", static_cast<int>(m_dwStyle));
    app->WriteProfileInt(section, "ExStyle", static_cast<int>(m_dwExStyle));
    app->WriteProfileInt(section, "PrevFloating", m_bPrevFloating);
    app->WriteProfileInt(section, "MDIChild", m_bMDIChild);
    if (m_bMDIChild) {
        SECWindowPlacement44 wp = m_wp;
        app->WriteProfileBinary(section, "MDIChildWindowPlacement", reinterpret_cast<LPBYTE>(&wp), sizeof wp);
    }
    app->WriteProfileString(section, "PctWidth", ShareText(m_fPctWidth));
    app->WriteProfileInt(section, "MRUFloatCX", m_szFloat.cx);
    app->WriteProfileInt(section, "MRUFloatCY", m_szFloat.cy);
    app->WriteProfileInt(section, "MRUHorzDockCX", m_szHorz.cx);
    app->WriteProfileInt(section, "MRUHorzDockCY", m_szHorz.cy);
    app->WriteProfileInt(section, "MRUVertDockCX", m_szVert.cx);
    app->WriteProfileInt(section, "MRUVertDockCY", m_szVert.cy);
    app->WriteProfileInt(section, "MRUDockingState", static_cast<int>(m_dwMRUDockingState));
    app->WriteProfileInt(section, "DockingStyle", static_cast<int>(m_dwDockStyle));
    app->WriteProfileInt(section, "TypeID", static_cast<int>(m_dwTypeID));
    app->WriteProfileString(section, "ClassName", m_strClassName);
    app->WriteProfileString(section, "WindowName", m_strWindowName);
    app->WriteProfileInt(section, "ResourceID", static_cast<int>(m_nResourceID));
    if (m_pBarInfoEx)
        m_pBarInfoEx->SaveState(section);
    return TRUE;
}

BOOL SECControlBarInfo::LoadState(LPCTSTR lpszProfileName, int nIndex, SECDockState* pDockState)
{
    const BOOL result = CControlBarInfo::LoadState(lpszProfileName, nIndex, pDockState);
    CWinApp* app = AfxGetApp();
    if (!app)
        return result;
    const CString section = BarSection(lpszProfileName, nIndex);
    // The bar's rows list as many ids as its section holds, whatever its count says.
    int present = 0;
    while (present < m_arrBarID.GetSize()) {
        CString key;
        key.Format("Bar#%d", present);
        if (!HasProfileEntry(app, section, key))
            break;
        ++present;
    }
    m_arrBarID.SetSize(present);

    m_dwStyle = app->GetProfileInt(section, "Style", 0);
    m_dwExStyle = app->GetProfileInt(section, "ExStyle", 0);
    m_bPrevFloating = app->GetProfileInt(section, "PrevFloating", 0) != 0;
    m_bMDIChild = app->GetProfileInt(section, "MDIChild", 0) != 0;
    if (m_bMDIChild) {
        BYTE* data = nullptr;
        UINT bytes = 0;
        // A placement is taken whole or not at all: a short or foreign one would leave half of
        // the window's place unset.
        if (app->GetProfileBinary(section, "MDIChildWindowPlacement", &data, &bytes) && data) {
            SECWindowPlacement44 wp{};
            if (bytes == sizeof wp) {
                std::memcpy(&wp, data, sizeof wp);
                if (wp.length == sizeof wp)
                    m_wp = wp;
            }
        }
        delete[] data;
    }
    m_fPctWidth = ShareFromText(app->GetProfileString(section, "PctWidth", ""));
    m_szFloat = CSize(NonNegative(static_cast<int>(app->GetProfileInt(section, "MRUFloatCX", 0))),
                      NonNegative(static_cast<int>(app->GetProfileInt(section, "MRUFloatCY", 0))));
    m_szHorz = CSize(NonNegative(static_cast<int>(app->GetProfileInt(section, "MRUHorzDockCX", 0))),
                     NonNegative(static_cast<int>(app->GetProfileInt(section, "MRUHorzDockCY", 0))));
    m_szVert = CSize(NonNegative(static_cast<int>(app->GetProfileInt(section, "MRUVertDockCX", 0))),
                     NonNegative(static_cast<int>(app->GetProfileInt(section, "MRUVertDockCY", 0))));
    m_dwMRUDockingState = app->GetProfileInt(section, "MRUDockingState", 0);
    m_dwDockStyle = app->GetProfileInt(section, "DockingStyle", 0);
    m_dwTypeID = app->GetProfileInt(section, "TypeID", 0);
    m_strClassName = app->GetProfileString(section, "ClassName", "");
    m_strWindowName = app->GetProfileString(section, "WindowName", "");
    m_nResourceID = app->GetProfileInt(section, "ResourceID", 0);
    if (m_pManager) {
        SetInfoEx(m_pManager->CreateControlBarInfoEx(this));
        if (m_pBarInfoEx)
            m_pBarInfoEx->LoadState(section, pDockState);
    }
    return result;
}

BOOL SECControlBarInfo::SaveToNode(SECPTNFactory& factory, SECPersistentTreeNode* pParent, int nIndex)
{
    if (!pParent)
        return FALSE;
    if (m_bDockBar && m_bVisible && !m_bFloating && m_pointPos == CPoint(-1, -1) && m_arrBarID.GetSize() <= 1)
        return FALSE;
    CString name;
    name.Format("Bar-%d", nIndex);
    SECPersistentTreeNode* node = factory.CreateNode(name, pParent);
    if (!node)
        return FALSE;
    SaveBaseToNode(factory, node);
    SaveExToNode(factory, node);
    if (m_pBarInfoEx)
        m_pBarInfoEx->SaveToNode(factory, node);
    return TRUE;
}

BOOL SECControlBarInfo::SaveBaseToNode(SECPTNFactory&, SECPersistentTreeNode* node)
{
    node->SetValue("BarID", static_cast<int>(m_nBarID));
    if (!m_bVisible)
        node->SetBoolValue("Visible", m_bVisible);
    if (m_bFloating) {
        node->SetBoolValue("Horz", m_bHorz);
        node->SetBoolValue("Floating", m_bFloating);
    }
    if (m_pointPos.x != -1)
        node->SetValue("XPos", m_pointPos.x);
    if (m_pointPos.y != -1)
        node->SetValue("YPos", m_pointPos.y);
    if (m_nMRUWidth != 32767)
        node->SetValue("MRUWidth", static_cast<int>(m_nMRUWidth));
    if (m_bDocking) {
        node->SetBoolValue("Docking", m_bDocking);
        node->SetValue("MRUDockID", static_cast<int>(m_uMRUDockID));
        node->SetValue("MRUDockLeftPos", m_rectMRUDockPos.left);
        node->SetValue("MRUDockTopPos", m_rectMRUDockPos.top);
        node->SetValue("MRUDockRightPos", m_rectMRUDockPos.right);
        node->SetValue("MRUDockBottomPos", m_rectMRUDockPos.bottom);
        node->SetValue("MRUFloatStyle", static_cast<int>(m_dwMRUFloatStyle));
        node->SetValue("MRUFloatXPos", m_ptMRUFloatPos.x);
        node->SetValue("MRUFloatYPos", m_ptMRUFloatPos.y);
    }
    if (m_arrBarID.GetSize() >= 2) {
        node->SetValue("Bars", static_cast<int>(m_arrBarID.GetSize()));
        for (INT_PTR i = 0; i < m_arrBarID.GetSize(); ++i) {
            CString key;
            key.Format("Bar#%d", static_cast<int>(i));
            node->SetValue(key, static_cast<int>(reinterpret_cast<UINT_PTR>(m_arrBarID[i])));
        }
    }
    return TRUE;
}

BOOL SECControlBarInfo::SaveExToNode(SECPTNFactory&, SECPersistentTreeNode* node)
{
    node->SetValue("Style", static_cast<int>(m_dwStyle));
    node->SetValue("ExStyle", static_cast<int>(m_dwExStyle));
    node->SetBoolValue("PrevFloating", m_bPrevFloating);
    node->SetBoolValue("MDIChild", m_bMDIChild);
    SECWindowPlacement44 wp = m_wp;
    node->SetBinary("MDIChildWindowPlacement", reinterpret_cast<const BYTE*>(&wp), sizeof wp);
    node->SetValue("PctWidth", ShareText(m_fPctWidth));
    node->SetValue("MRUFloatCX", m_szFloat.cx);
    node->SetValue("MRUFloatCY", m_szFloat.cy);
    node->SetValue("MRUHorzDockCX", m_szHorz.cx);
    node->SetValue("MRUHorzDockCY", m_szHorz.cy);
    node->SetValue("MRUVertDockCX", m_szVert.cx);
    node->SetValue("MRUVertDockCY", m_szVert.cy);
    node->SetValue("MRUDockingState", static_cast<int>(m_dwMRUDockingState));
    node->SetValue("DockingStyle", static_cast<int>(m_dwDockStyle));
    node->SetValue("TypeID", static_cast<int>(m_dwTypeID));
    node->SetValue("ClassName", m_strClassName);
    node->SetValue("WindowName", m_strWindowName);
    node->SetValue("ResourceID", static_cast<int>(m_nResourceID));
    return TRUE;
}

BOOL SECControlBarInfo::LoadFromNode(SECPersistentTreeNode* pNode, SECDockState* pDockState)
{
    if (!pNode)
        return FALSE;
    LoadBaseFromNode(pNode, pDockState);
    LoadExFromNode(pNode);
    if (m_pManager) {
        SetInfoEx(m_pManager->CreateControlBarInfoEx(this));
        if (m_pBarInfoEx)
            m_pBarInfoEx->LoadFromNode(pNode);
    }
    return TRUE;
}

BOOL SECControlBarInfo::LoadBaseFromNode(SECPersistentTreeNode* node, SECDockState* pDockState)
{
    node->GetValue("BarID", &m_nBarID, 0);
    m_bDockBar = m_nBarID >= AFX_IDW_DOCKBAR_TOP && m_nBarID <= AFX_IDW_DOCKBAR_FLOAT;
    node->GetBoolValue("Visible", &m_bVisible, TRUE);
    node->GetBoolValue("Horz", &m_bHorz, TRUE);
    node->GetBoolValue("Floating", &m_bFloating, FALSE);
    node->GetValue("XPos", &m_pointPos.x, -1);
    node->GetValue("YPos", &m_pointPos.y, -1);
    if (pDockState)
        pDockState->ScalePoint(m_pointPos);
    node->GetValue("MRUWidth", &m_nMRUWidth, 32767);
    node->GetBoolValue("Docking", &m_bDocking, FALSE);
    if (m_bDocking) {
        node->GetValue("MRUDockID", &m_uMRUDockID, 0);
        node->GetValue("MRUDockLeftPos", &m_rectMRUDockPos.left, 0);
        node->GetValue("MRUDockTopPos", &m_rectMRUDockPos.top, 0);
        node->GetValue("MRUDockRightPos", &m_rectMRUDockPos.right, 0);
        node->GetValue("MRUDockBottomPos", &m_rectMRUDockPos.bottom, 0);
        if (pDockState)
            pDockState->ScaleRectPos(m_rectMRUDockPos);
        node->GetValue("MRUFloatStyle", &m_dwMRUFloatStyle, 0);
        node->GetValue("MRUFloatXPos", &m_ptMRUFloatPos.x, 0);
        node->GetValue("MRUFloatYPos", &m_ptMRUFloatPos.y, 0);
        if (pDockState)
            pDockState->ScalePoint(m_ptMRUFloatPos);
    }
    int count = 0;
    node->GetValue("Bars", &count, 0);
    m_arrBarID.RemoveAll();
    // Only the ids the node holds: a count beyond them allocates nothing.
    for (int i = 0; i < count; ++i) {
        CString key;
        key.Format("Bar#%d", i);
        int id = 0;
        if (node->GetValue(key, &id, 0) != 0)
            break;
        m_arrBarID.Add(reinterpret_cast<void*>(static_cast<UINT_PTR>(static_cast<UINT>(id))));
    }
    return TRUE;
}

BOOL SECControlBarInfo::LoadExFromNode(SECPersistentTreeNode* node)
{
    node->GetValue("Style", &m_dwStyle, 0);
    node->GetValue("ExStyle", &m_dwExStyle, 0);
    node->GetBoolValue("PrevFloating", &m_bPrevFloating, FALSE);
    node->GetBoolValue("MDIChild", &m_bMDIChild, FALSE);
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (node->GetBinary("MDIChildWindowPlacement", &data, &bytes) == 0 && data) {
        SECWindowPlacement44 wp{};
        if (bytes == sizeof wp) {
            std::memcpy(&wp, data, sizeof wp);
            if (wp.length == sizeof wp || (wp.length == 0 && !m_bMDIChild))
                m_wp = wp;
        }
    }
    delete[] data;
    CString share;
    node->GetValue("PctWidth", share, CString());
    m_fPctWidth = ShareFromText(share);
    int v = 0;
    node->GetValue("MRUFloatCX", &v, 0);
    m_szFloat.cx = NonNegative(v);
    node->GetValue("MRUFloatCY", &v, 0);
    m_szFloat.cy = NonNegative(v);
    node->GetValue("MRUHorzDockCX", &v, 0);
    m_szHorz.cx = NonNegative(v);
    node->GetValue("MRUHorzDockCY", &v, 0);
    m_szHorz.cy = NonNegative(v);
    node->GetValue("MRUVertDockCX", &v, 0);
    m_szVert.cx = NonNegative(v);
    node->GetValue("MRUVertDockCY", &v, 0);
    m_szVert.cy = NonNegative(v);
    node->GetValue("MRUDockingState", &m_dwMRUDockingState, 0);
    node->GetValue("DockingStyle", &m_dwDockStyle, 0);
    node->GetValue("TypeID", &m_dwTypeID, 0);
    node->GetValue("ClassName", m_strClassName, CString());
    node->GetValue("WindowName", m_strWindowName, CString());
    node->GetValue("ResourceID", &m_nResourceID, m_nResourceID);
    return TRUE;
}

void SECControlBarInfo::Serialize(CArchive& ar, SECDockState* pDockState)
{
    const DWORD version = pDockState ? pDockState->m_dwVersion : 2;
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_nBarID) << static_cast<DWORD>(m_bVisible) << static_cast<DWORD>(m_bFloating)
           << static_cast<DWORD>(m_bHorz) << static_cast<int>(m_pointPos.x) << static_cast<int>(m_pointPos.y);
        if (version > 1) {
            ar << static_cast<DWORD>(m_nMRUWidth) << static_cast<DWORD>(m_bDocking);
            if (m_bDocking) {
                ar << static_cast<DWORD>(m_uMRUDockID) << static_cast<int>(m_rectMRUDockPos.left)
                   << static_cast<int>(m_rectMRUDockPos.top) << static_cast<int>(m_rectMRUDockPos.right)
                   << static_cast<int>(m_rectMRUDockPos.bottom) << static_cast<DWORD>(m_dwMRUFloatStyle)
                   << static_cast<int>(m_ptMRUFloatPos.x) << static_cast<int>(m_ptMRUFloatPos.y);
            }
        }
        ar << static_cast<DWORD>(m_dwStyle) << static_cast<DWORD>(m_dwExStyle) << static_cast<DWORD>(m_bPrevFloating)
           << static_cast<DWORD>(m_bMDIChild);
        ar << ShareText(m_fPctWidth);
        ar << static_cast<int>(m_szFloat.cx) << static_cast<int>(m_szFloat.cy) << static_cast<int>(m_szHorz.cx)
           << static_cast<int>(m_szHorz.cy) << static_cast<int>(m_szVert.cx) << static_cast<int>(m_szVert.cy);
        ar << static_cast<DWORD>(m_dwMRUDockingState) << static_cast<DWORD>(m_dwDockStyle)
           << static_cast<DWORD>(m_dwTypeID);
        if (m_pBarInfoEx)
            m_pBarInfoEx->Serialize(ar, pDockState);
        ar << static_cast<WORD>(std::min<INT_PTR>(m_arrBarID.GetSize(), 0xFFFF));
        for (INT_PTR i = 0; i < std::min<INT_PTR>(m_arrBarID.GetSize(), 0xFFFF); ++i)
            ar << static_cast<DWORD>(reinterpret_cast<UINT_PTR>(m_arrBarID[i]));
        return;
    }
    DWORD d = 0;
    int x = 0, y = 0;
    ar >> d;
    m_nBarID = d;
    m_bDockBar = m_nBarID >= AFX_IDW_DOCKBAR_TOP && m_nBarID <= AFX_IDW_DOCKBAR_FLOAT;
    ar >> d;
    m_bVisible = d != 0;
    ar >> d;
    m_bFloating = d != 0;
    ar >> d;
    m_bHorz = d != 0;
    ar >> x >> y;
    m_pointPos = CPoint(x, y);
    if (version > 1) {
        if (pDockState)
            pDockState->ScalePoint(m_pointPos);
        ar >> d;
        m_nMRUWidth = d;
        ar >> d;
        m_bDocking = d != 0;
        if (m_bDocking) {
            int l = 0, t = 0, r = 0, b = 0;
            ar >> d >> l >> t >> r >> b;
            m_uMRUDockID = d;
            m_rectMRUDockPos.SetRect(l, t, r, b);
            ar >> d >> x >> y;
            m_dwMRUFloatStyle = d;
            m_ptMRUFloatPos = CPoint(x, y);
            if (pDockState) {
                pDockState->ScaleRectPos(m_rectMRUDockPos);
                pDockState->ScalePoint(m_ptMRUFloatPos);
            }
        }
    }
    ar >> d;
    m_dwStyle = d;
    ar >> d;
    m_dwExStyle = d;
    ar >> d;
    m_bPrevFloating = d != 0;
    ar >> d;
    m_bMDIChild = d != 0;
    CString share;
    ar >> share;
    m_fPctWidth = ShareFromText(share);
    int cx = 0, cy = 0;
    ar >> cx >> cy;
    m_szFloat = CSize(NonNegative(cx), NonNegative(cy));
    ar >> cx >> cy;
    m_szHorz = CSize(NonNegative(cx), NonNegative(cy));
    ar >> cx >> cy;
    m_szVert = CSize(NonNegative(cx), NonNegative(cy));
    ar >> d;
    m_dwMRUDockingState = d;
    ar >> d;
    m_dwDockStyle = d;
    ar >> d;
    m_dwTypeID = d;
    if (m_pManager)
        SetInfoEx(m_pManager->CreateControlBarInfoEx(this));
    if (m_pBarInfoEx)
        m_pBarInfoEx->Serialize(ar, pDockState);
    WORD count = 0;
    ar >> count;
    m_arrBarID.RemoveAll();
    for (WORD i = 0; i < count; ++i) {
        ar >> d;   // a short archive throws before anything is taken beyond its end
        m_arrBarID.Add(reinterpret_cast<void*>(static_cast<UINT_PTR>(d)));
    }
}

// ---- The layout ----

SECDockState::SECDockState() = default;

SECDockState::SECDockState(SECControlBarManager* pManager) : m_pManager(pManager) {}

SECDockState::~SECDockState()
{
    ClearInfo();
}

void SECDockState::ClearInfo()
{
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i)
        delete GetInfo(i);
    m_arrBarInfo.RemoveAll();
}

SECControlBarInfo* SECDockState::CreateBarInfo(SECControlBarManager* pManager)
{
    return new SECControlBarInfo(pManager);
}

void SECDockState::SaveState(LPCTSTR lpszProfileName)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    CRegistryWriteBatch batch;
    int saved = 0;
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i)
        if (GetInfo(i)->SaveState(lpszProfileName, saved))
            ++saved;
    CString summary;
    summary.Format("%s-Summary", lpszProfileName);
    app->WriteProfileInt(summary, "Bars", saved);
    const CSize screen(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    app->WriteProfileInt(summary, "ScreenCX", screen.cx);
    app->WriteProfileInt(summary, "ScreenCY", screen.cy);
}

void SECDockState::LoadState(LPCTSTR lpszProfileName)
{
    ClearInfo();
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    CString summary;
    summary.Format("%s-Summary", lpszProfileName);
    const int bars = static_cast<int>(app->GetProfileInt(summary, "Bars", 0));
    SetScreenSize(CSize(static_cast<int>(app->GetProfileInt(summary, "ScreenCX", 0)),
                        static_cast<int>(app->GetProfileInt(summary, "ScreenCY", 0))));
    // As many bars as there are sections: a damaged count allocates nothing beyond them.
    for (int i = 0; i < bars; ++i) {
        if (!HasProfileEntry(app, BarSection(lpszProfileName, i), "BarID"))
            break;
        SECControlBarInfo* info = CreateBarInfo(m_pManager);
        m_arrBarInfo.Add(info);
        info->LoadState(lpszProfileName, i, this);
    }
}

BOOL SECDockState::SaveToNode(SECPTNFactory& factory, SECPersistentTreeNode* pParent)
{
    if (!pParent)
        return FALSE;
    SECPersistentTreeNode* node = pParent->FindChild("DockState");
    if (!node)
        node = factory.CreateNode("DockState", pParent);
    if (!node)
        return FALSE;
    int saved = 0;
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i)
        if (GetInfo(i)->SaveToNode(factory, node, saved))
            ++saved;
    node->SetValue("Bars", saved, TRUE);
    node->SetValue("ScreenCX", ::GetSystemMetrics(SM_CXSCREEN), TRUE);
    node->SetValue("ScreenCY", ::GetSystemMetrics(SM_CYSCREEN), TRUE);
    return TRUE;
}

BOOL SECDockState::LoadFromNode(SECPersistentTreeNode* pParent)
{
    ClearInfo();
    SECPersistentTreeNode* node = pParent ? pParent->FindChild("DockState") : nullptr;
    if (!node)
        return FALSE;
    int bars = 0, cx = 0, cy = 0;
    node->GetValue("Bars", &bars, 0);
    node->GetValue("ScreenCX", &cx, 0);
    node->GetValue("ScreenCY", &cy, 0);
    SetScreenSize(CSize(cx, cy));
    // Only the children there are: the count is read, not trusted.
    CStringList names;
    node->GetChildNames(names);
    const int children = static_cast<int>(names.GetCount());
    int found = 0;
    for (int i = 0; i < bars && found < children; ++i) {
        CString name;
        name.Format("Bar-%d", i);
        SECPersistentTreeNode* child = node->FindChild(name);
        if (!child)
            continue;
        ++found;
        SECControlBarInfo* info = CreateBarInfo(m_pManager);
        m_arrBarInfo.Add(info);
        info->LoadFromNode(child, this);
    }
    return TRUE;
}

void SECDockState::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_dwVersion);
        if (m_dwVersion > 1) {
            const CSize screen(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
            ar << static_cast<int>(screen.cx) << static_cast<int>(screen.cy);
        }
        const INT_PTR count = std::min<INT_PTR>(m_arrBarInfo.GetSize(), 0xFFFF);
        ar << static_cast<WORD>(count);
        for (INT_PTR i = 0; i < count; ++i)
            GetInfo(i)->Serialize(ar, this);
        return;
    }
    ClearInfo();
    DWORD version = 0;
    ar >> version;
    m_dwVersion = version;
    if (version > 1) {
        int cx = 0, cy = 0;
        ar >> cx >> cy;
        SetScreenSize(CSize(cx, cy));
    }
    WORD count = 0;
    ar >> count;
    for (WORD i = 0; i < count; ++i) {
        SECControlBarInfo* info = CreateBarInfo(m_pManager);
        m_arrBarInfo.Add(info);
        info->Serialize(ar, this);
    }
    m_dwVersion = 2;
}

// ---- Taking and applying a frame's layout ----

BOOL SECDockState::GetState(CFrameWnd* pFrame)
{
    ClearInfo();
    if (!pFrame)
        return FALSE;
    if (!m_pManager)
        if (SECDockingFrame* host = dynamic_cast<SECDockingFrame*>(pFrame))
            m_pManager = host->GetControlBarManager();
    for (CControlBar* bar : pFrame->m_listControlBars) {
        if (!bar->m_hWnd)
            continue;
        // Docked document frames are saved by their documents, not by the layout.
        if (bar->IsFloating()) {
            CWnd* mini = bar->GetParentFrame();
            if (mini && mini->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd))) {
                if (SECIsKindOf(bar, "SECFrameBar"))
                    continue;
                if (bar->IsDockBar()) {
                    auto* dock = static_cast<CDockBar*>(bar);
                    CControlBar* first = nullptr;
                    for (INT_PTR i = 0; i < dock->m_arrBars.GetSize() && !first; ++i)
                        first = dock->GetDockedControlBar(static_cast<int>(i));
                    if (SECIsKindOf(first, "SECFrameBar"))
                        continue;
                }
            }
        }
        const BOOL isSECDock = bar->IsKindOf(RUNTIME_CLASS(SECDockBar));
        SECControlBar* sec = AsSEC(bar);
        if (!isSECDock && !sec)
            continue;
        if (isSECDock && static_cast<SECDockBar*>(bar)->m_bFloating && static_cast<CDockBar*>(bar)->GetDockedCount() == 0)
            continue;   // an emptied floating frame is on its way out
        SECControlBarInfo* info = CreateBarInfo(m_pManager);
        if (isSECDock)
            static_cast<SECDockBar*>(bar)->GetBarInfo(info);
        else
            sec->GetBarInfoEx(info);
        m_arrBarInfo.Add(info);
    }
    return TRUE;
}

void SECDockState::CleanBarIDs()
{
    const INT_PTR n = m_arrBarInfo.GetSize();
    for (INT_PTR i = 0; i < n; ++i) {
        SECControlBarInfo* a = GetInfo(i);
        for (INT_PTR j = 0; j < n; ++j) {
            if (i == j)
                continue;
            SECControlBarInfo* b = GetInfo(j);
            if (a->m_uMRUDockID == b->m_nBarID)
                continue;
            const UINT_PTR stale = static_cast<UINT_PTR>(a->m_nBarID) + 0x10000;
            for (INT_PTR k = 0; k + 1 < b->m_arrBarID.GetSize(); ++k)
                if (reinterpret_cast<UINT_PTR>(b->m_arrBarID[k]) == stale)
                    b->m_arrBarID[k] = nullptr;
        }
    }
    for (INT_PTR i = 0; i < n; ++i) {
        CPtrArray& ids = GetInfo(i)->m_arrBarID;
        for (INT_PTR k = 0; k < ids.GetSize(); ++k) {
            if (!ids[k])
                continue;
            for (INT_PTR m = k + 1; m < ids.GetSize(); ++m)
                if (ids[m] == ids[k])
                    ids[m] = nullptr;
        }
        while (ids.GetSize() > 0 && !ids[ids.GetUpperBound()])
            ids.RemoveAt(ids.GetUpperBound());
        if (ids.GetSize() > 0)
            ids.Add(nullptr);
    }
}

CRuntimeClass* SECDockState::FindRuntimeClass(const CString& strClassName)
{
    if (strClassName.IsEmpty())
        return nullptr;
    return CRuntimeClass::FromName(strClassName);
}

CControlBar* SECDockState::CreateBarByClass(const CString& strClassName, CFrameWnd* pFrame, SECControlBarInfo* pInfo)
{
    CRuntimeClass* cls = FindRuntimeClass(strClassName);
    if (!cls || !cls->m_pfnCreateObject || !cls->IsDerivedFrom(RUNTIME_CLASS(SECControlBar)))
        return nullptr;
    CObject* object = cls->CreateObject();
    if (!object)
        return nullptr;
    auto* bar = static_cast<SECControlBar*>(object);
    BOOL made;
    if (SECIsKindOf(bar, "SECDialogBar"))
        made = static_cast<SECDialogBar*>(bar)->Create(pFrame, MAKEINTRESOURCE(pInfo->m_nResourceID), pInfo->m_dwStyle,
                                                      pInfo->m_dwExStyle, pInfo->m_nBarID);
    else
        made = bar->Create(pFrame, pInfo->m_strWindowName, pInfo->m_dwStyle, pInfo->m_dwExStyle, pInfo->m_nBarID);
    if (!made) {
        delete bar;
        return nullptr;
    }
    // The frame owns what the layout made: it is listed for it, and deletes itself with its window.
    bar->m_bAutoDelete = TRUE;
    if (m_pCreatedBars)
        m_pCreatedBars->AddTail(bar);
    bar->SetWindowText(pInfo->m_strWindowName);
    bar->EnableDocking(CBRS_ALIGN_ANY);
    return bar;
}

void SECDockState::ResolveBars(CFrameWnd* pFrame, BOOL bMDI)
{
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize();) {
        SECControlBarInfo* info = GetInfo(i);
        info->m_pBar = nullptr;
        if (info->m_bFloating && info->m_bDockBar) {
            const DWORD style = info->m_bHorz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT;
            SECDockingFrame* host = dynamic_cast<SECDockingFrame*>(pFrame);
            if (info->m_bMDIChild && bMDI && host) {
                CWnd* child = host->CreateFloatingMDIChild(style);
                if (CDockBar* dock = AfxFloatingDockBar(child))
                    info->m_pBar = dock;
            } else {
                CMiniDockFrameWnd* mini = pFrame->CreateFloatingFrame(style);
                if (CDockBar* dock = AfxFloatingDockBar(mini))
                    info->m_pBar = dock;
            }
        } else {
            CControlBar* bar = pFrame->GetControlBar(info->m_nBarID);
            if (bar && bar->IsDockBar() && static_cast<CDockBar*>(bar)->m_bFloating)
                bar = nullptr;
            if (!bar && m_pManager)
                bar = m_pManager->DynCreateControlBar(info, pFrame);
            if (!bar && !info->m_bDockBar)
                bar = CreateBarByClass(info->m_strClassName, pFrame, info);
            info->m_pBar = bar;
        }
        if (!info->m_pBar) {
            // Found nowhere and made by nobody: it leaves the layout without a word.
            m_arrBarInfo.RemoveAt(i);
            delete info;
            continue;
        }
        ++i;
    }
}

void SECDockState::SetState(CFrameWnd* pFrame)
{
    if (!pFrame)
        return;
    if (!m_pManager)
        if (SECDockingFrame* host = dynamic_cast<SECDockingFrame*>(pFrame))
            m_pManager = host->GetControlBarManager();
    if (!m_pCreatedBars)
        if (SECDockingFrame* host = dynamic_cast<SECDockingFrame*>(pFrame))
            m_pCreatedBars = host->GetCreatedBarList();
    // The floating frames there are now give way to the saved ones once their bars have moved.
    std::vector<CDockBar*> oldFloating;
    for (CControlBar* bar : pFrame->m_listControlBars)
        if (bar->IsDockBar() && static_cast<CDockBar*>(bar)->m_bFloating)
            oldFloating.push_back(static_cast<CDockBar*>(bar));

    const BOOL mdi = pFrame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd));
    ResolveBars(pFrame, mdi);
    // Dock bars first: they take the bars in; the bars then take their places inside.
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i) {
        SECControlBarInfo* info = GetInfo(i);
        if (!info->m_pBar->IsDockBar())
            continue;
        if (info->m_pBar->IsKindOf(RUNTIME_CLASS(SECDockBar)))
            static_cast<SECDockBar*>(info->m_pBar)->SetBarInfo(info, pFrame);
        else
            static_cast<CDockBar*>(info->m_pBar)->SetBarInfo(info, pFrame);
    }
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i) {
        SECControlBarInfo* info = GetInfo(i);
        if (info->m_pBar->IsDockBar())
            continue;
        if (SECControlBar* sec = AsSEC(info->m_pBar))
            sec->SetBarInfoEx(info, pFrame);
        else
            info->m_pBar->SetBarInfo(info, pFrame);
    }
    PlaceFloatingBars();
    for (CDockBar* dock : oldFloating)
        if (dock->m_hWnd && dock->GetDockedCount() == 0)
            if (CWnd* mini = dock->GetParent())
                mini->DestroyWindow();
    pFrame->RecalcLayout(TRUE);
    if (mdi) {
        RestoreMDIPlacements(pFrame);
        pFrame->DelayRecalcLayout();
    }
}

void SECDockState::PlaceFloatingBars()
{
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i) {
        SECControlBarInfo* info = GetInfo(i);
        if (SECControlBar* sec = AsSEC(info->m_pBar))
            sec->SetExBarStyle(info->m_dwExStyle, FALSE);
        if (info->m_bFloating && info->m_bDockBar) {
            auto* dock = static_cast<CDockBar*>(info->m_pBar);
            CFrameWnd* mini = dock->GetParentFrame();
            if (!mini)
                continue;
            if (mini->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd))) {
                CRect rect(info->m_pointPos, CSize(10, 10));
                mini->CalcWindowRect(&rect);
                mini->SetWindowPos(nullptr, info->m_pointPos.x, info->m_pointPos.y, 0, 0,
                                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            if (dock->GetDockedCount() > 0) {
                mini->RecalcLayout(TRUE);
                if (info->m_bVisible && dock->GetDockedVisibleCount() > 0)
                    mini->ShowWindow(SW_SHOWNA);
            }
        }
        if (info->m_pBar->m_pDockBar && info->m_pBar->m_pDockBar->IsKindOf(RUNTIME_CLASS(SECDockBar)) &&
            info->m_pBar->m_pDockBar->m_bFloating)
            static_cast<SECDockBar*>(info->m_pBar->m_pDockBar)->MoveBarToFront(info->m_pBar);
    }
}

void SECDockState::RestoreMDIPlacements(CFrameWnd*)
{
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i) {
        SECControlBarInfo* info = GetInfo(i);
        if (!info->m_bMDIChild || !info->m_pBar || info->m_wp.length != sizeof(SECWindowPlacement44))
            continue;
        CFrameWnd* child = info->m_pBar->GetParentFrame();
        if (!child)
            continue;
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        wp.flags = info->m_wp.flags;
        wp.showCmd = info->m_wp.showCmd;
        wp.ptMinPosition = info->m_wp.ptMinPosition;
        wp.ptMaxPosition = info->m_wp.ptMaxPosition;
        wp.rcNormalPosition = info->m_wp.rcNormalPosition;
        ::SetWindowPlacement(child->m_hWnd, &wp);
    }
}
