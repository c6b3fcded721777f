#include "grid/core/CGXGridAppData.h"

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/core/CGXNoOleDateTimeImp.h"
#include "grid/core/CGXLongOperationImp.h"
#include "grid/res/GridRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/SystemServices.h"
#include "platform/win/Clipboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

#include <algorithm>

namespace {

constexpr UINT kTextIds[gxTextCount] = {
    GX_IDS_REDOING,     GX_IDS_UNDOING,        GX_IDS_GENUNDOINFO,   GX_IDS_STORINGCELLS, GX_IDS_RESTORINGCELLS,
    GX_IDS_CELLS,       GX_IDS_REMOVINGROWS,   GX_IDS_REMOVINGCOLS,  GX_IDS_MOVEROWS,     GX_IDS_MOVECOLS,
    GX_IDS_INSERTROWS,  GX_IDS_INSERTCOLS,     GX_IDS_COPYINGTEXT,   GX_IDS_COPYINGINTERNAL, GX_IDS_CUTDATA,
    GX_IDS_CLEARCELLS,  GX_IDS_CUTTINGDATA,    GX_IDS_PASTINGDATA,   GX_IDS_PASTE,        GX_IDS_REPLACING,
    GX_IDS_REPLACEALL,  GX_IDS_SEARCHING,      GX_IDS_RESIZEROWS,    GX_IDS_RESIZECOLS,   GX_IDS_FREEZEROWS,
    GX_IDS_FREEZECOLS,  GX_IDS_CURRENTCELL,    GX_IDS_CLIPBOARDSIZE, GX_IDS_COPY,         GX_IDS_MOVE,
    GX_IDS_SORTROWS,    GX_IDS_SORTCOLS,       GX_IDS_LAYINGOUTPAGES,
};

// Copies of the system's edit, list box and combo box classes under the library's names, so
// that cell controls made before the standard classes change keep one behaviour.
constexpr const char* kCopiedClasses[][2] = {
    {"edit", "GXEDIT"},
    {"listbox", "GXLISTBOX"},
    {"combobox", "GXCOMBOBOX"},
};

struct PlainClass {
    const char* name;
    UINT style;
};
constexpr PlainClass kPlainClasses[] = {
    {"GXWND", CS_GLOBALCLASS | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW},
    {"GXNDBLCLKSWND", CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW},
    {"GxMdiFrame", CS_GLOBALCLASS | CS_DBLCLKS},
};

void RegisterLibraryClasses(HINSTANCE hInstance)
{
    WNDCLASS wc{};
    for (const auto& copied : kCopiedClasses) {
        if (GetClassInfo(hInstance, copied[1], &wc))
            continue;
        WNDCLASS system{};
        if (!GetClassInfo(nullptr, copied[0], &system))
            continue;
        system.style |= CS_GLOBALCLASS;
        system.hInstance = hInstance;
        system.lpszClassName = copied[1];
        // A failed registration is not the library's to report: the cells that need the
        // class fail to create their window and say so.
        AfxRegisterClass(&system);
    }
    for (const PlainClass& plain : kPlainClasses) {
        WNDCLASS c{};
        c.style = plain.style;
        c.lpfnWndProc = DefWindowProc;
        c.hInstance = hInstance;
        c.lpszClassName = plain.name;
        AfxRegisterClass(&c);
    }
}

} // namespace

CGXGridAppData::CGXGridAppData() = default;

CGXGridAppData::~CGXGridAppData()
{
    FreeObjects();
}

void CGXGridAppData::AddAutoDeleteImp(CObject* pImp)
{
    if (pImp != nullptr)
        m_autoDelete.emplace_front(pImp);
}

BOOL CGXGridAppData::RemoveAutoDeleteImp(CObject* pImp)
{
    auto it = std::find_if(m_autoDelete.begin(), m_autoDelete.end(),
                           [pImp](const std::unique_ptr<CObject>& p) { return p.get() == pImp; });
    if (it == m_autoDelete.end())
        return FALSE;
    (void)it->release();
    m_autoDelete.erase(it);
    return TRUE;
}

void CGXGridAppData::RegisterScrollBarParentClass(CRuntimeClass* pClass)
{
    if (pClass != nullptr && std::find(m_scrollBarParents.begin(), m_scrollBarParents.end(), pClass) == m_scrollBarParents.end())
        m_scrollBarParents.push_back(pClass);
}

CWnd* CGXGridAppData::FindScrollBarParent(CWnd* pWnd) const
{
    for (CRuntimeClass* pClass : m_scrollBarParents)
        if (CWnd* pParent = GetParentOfClass(pWnd, pClass, TRUE))
            return pParent;
    return nullptr;
}

void CGXGridAppData::RegisterObjectUser(const void* pObject, CGXGridCore* pGrid)
{
    if (pObject != nullptr && pGrid != nullptr)
        m_objectUsers[pObject].push_back(pGrid);
}

void CGXGridAppData::UnregisterGrid(CGXGridCore* pGrid)
{
    if (m_pActiveGrid == pGrid)
        m_pActiveGrid = nullptr;
    for (auto it = m_objectUsers.begin(); it != m_objectUsers.end();) {
        std::erase(it->second, pGrid);
        it = it->second.empty() ? m_objectUsers.erase(it) : std::next(it);
    }
}

CGXGridCore* CGXGridAppData::FindImpForObject(const void* pObject) const
{
    auto it = m_objectUsers.find(pObject);
    return it == m_objectUsers.end() ? nullptr : it->second.front();
}

size_t CGXGridAppData::GetObjectUserCount(const void* pObject) const
{
    auto it = m_objectUsers.find(pObject);
    return it == m_objectUsers.end() ? 0 : it->second.size();
}

void CGXGridAppData::FreeObjects()
{
    m_pControlFactory.reset();
    m_pTabWndInterface.reset();
    m_pActiveGrid = nullptr;
    m_pActivationListener[0] = m_pActivationListener[1] = nullptr;
    // The long-operation implementation is one of the auto-deleted features; it uninstalls
    // itself as it goes.
    while (!m_autoDelete.empty())
        m_autoDelete.pop_front();
    for (CObject** pp : {&m_pUnusedImp, &m_pCoveredCellPoolImp, &m_pSpanCellPoolImp, &m_pDelayedRangePoolImp, &m_pPrintDeviceImp,
                         &m_pStyleCompareSubsetImp, &m_pStyleSerializeImp, &m_pGridDocSerializeImp, &m_pGridProfileImp,
                         &m_pGridParamCopyOperatorImp, &m_pSortMoveDataImp, &m_pDrawRotatedTextImp, &m_pDateTimeImp,
                         &m_pDataCopyMoveCellsImp, &m_pSerializeCompatibleImp, &m_pNumberFormattingImp})
        *pp = nullptr;
    m_pLongOperationImp = nullptr;
}

CGXGridAppData* GXGetAppData()
{
    static CGXGridAppData s_data;
    return &s_data;
}

CGXSysColorCache* GXGetSysData()
{
    static CGXSysColorCache s_colors;
    return &s_colors;
}

CString GXClipboardFormatName(HINSTANCE hInstance)
{
    CString name;
    name.Format("Grid Styles %08x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(hInstance)));
    return name;
}

void InitGridLibrary(CGXControlFactory* pFactory)
{
    CGXGridAppData* pData = GXGetAppData();
    HINSTANCE hInstance = AfxGetInstanceHandle();

    pData->m_uiClipboardFormat = RegisterClipboardFormat(GXClipboardFormatName(hInstance));

    pData->m_pControlFactory.reset(pFactory);
    pData->m_pTabWndInterface.reset();

    OSVERSIONINFO info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (GetVersionEx(&info)) {
        pData->m_wVersion = static_cast<WORD>(((info.dwMajorVersion & 0xFF) << 8) | (info.dwMinorVersion & 0xFF));
        const BOOL bFamily95 = info.dwPlatformId != VER_PLATFORM_WIN32_NT;
        pData->m_bWin95Family = bFamily95;
        pData->m_bWin4 = info.dwMajorVersion > 3;
        pData->m_bBeforeWin4 = !pData->m_bWin4;
        pData->m_bWin32s = bFamily95 && info.dwMajorVersion <= 3;
    }

    if (pFactory != nullptr)
        pFactory->InitializeApplicationComponents();

    for (int i = 0; i < gxTextCount; ++i)
        pData->m_asText[i].LoadString(kTextIds[i]);
    CGXLongOperationState& state = GXGetLongOperationState();
    CString text;
    if (text.LoadString(GX_IDS_ABORTQUESTION))
        state.m_sQuestion = text;
    if (text.LoadString(GX_IDS_PROCESSING))
        state.m_sDefaultText = text;
    if (text.LoadString(GX_IDS_DONE))
        state.m_sDoneText = text;
    if (text.LoadString(GX_IDS_STOPPED))
        state.m_sStoppedText = text;
    if (text.LoadString(GX_IDS_TAKENBACK))
        state.m_sTakenBackText = text;
    if (text.LoadString(GX_IDS_PRESSESC))
        state.m_sCancelHint = text;

    pData->m_sDragLineWndClass = AfxRegisterWndClass(CS_SAVEBITS);

    if (pFactory != nullptr)
        pFactory->RegisterWndClasses(hInstance);
    RegisterLibraryClasses(hInstance);

    GXGetSysData()->Refresh();
    UpdateLocaleSettings();
    pData->m_bInitDone = TRUE;
}

void TerminateGridLibrary(CGXGridAppData* pAppData)
{
    CGXGridAppData* pData = pAppData != nullptr ? pAppData : GXGetAppData();
    if (!pData->m_pControlFactory)
        return;
    HINSTANCE hResource = AfxGetResourceHandle();
    if (!pData->m_sDragLineWndClass.IsEmpty()) {
        UnregisterClass(pData->m_sDragLineWndClass, hResource);
        pData->m_sDragLineWndClass.Empty();
    }
    pData->m_pControlFactory->UnregisterWndClasses(hResource);
    pData->FreeObjects();
    // The bitmaps cells showed by name go with the library.
    CGXDIBPool::Destroy();
    pData->m_bInitDone = FALSE;
}

void GXSetPopupLock(BOOL bLock)
{
    GXGetAppData()->m_bPopupLock = bLock;
}

BOOL GXGetPopupLock()
{
    return GXGetAppData()->m_bPopupLock;
}

CWnd* GetParentOfClass(const CWnd* pWnd, CRuntimeClass* pClass, BOOL bDirectOnly)
{
    if (pWnd == nullptr || pClass == nullptr)
        return nullptr;
    CWnd* pParent = pWnd->GetParent();
    if (pParent == nullptr || !pParent->IsKindOf(pClass))
        return nullptr;
    if (!bDirectOnly)
        for (CWnd* p = pParent; p != nullptr; p = p->GetParent())
            if (p->IsIconic())
                return nullptr;
    return pParent;
}

CView* GXGetActiveView()
{
    auto* pMain = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    if (pMain == nullptr)
        return nullptr;
    if (CView* pView = pMain->GetActiveView())
        return pView;
    CFrameWnd* pActive = pMain->GetActiveFrame();
    return pActive != nullptr ? pActive->GetActiveView() : nullptr;
}

void UpdateLocaleSettings()
{
    if (auto* pImp = dynamic_cast<CGXNoOleDateTimeImp*>(GXGetAppData()->m_pDateTimeImp))
        pImp->UpdateDateTimeLocale();
}

std::array<CObject*, CGXGridAppData::kAppImpCount> CGXGridAppData::GetAppImps() const
{
    return {m_pUnusedImp, m_pCoveredCellPoolImp, m_pSpanCellPoolImp, m_pDelayedRangePoolImp, m_pPrintDeviceImp,
            m_pStyleCompareSubsetImp, m_pStyleSerializeImp, m_pGridDocSerializeImp, m_pGridProfileImp,
            m_pGridParamCopyOperatorImp, m_pSortMoveDataImp, m_pDrawRotatedTextImp, m_pDateTimeImp, m_pDataCopyMoveCellsImp,
            m_pLongOperationImp, m_pSerializeCompatibleImp, m_pNumberFormattingImp};
}
