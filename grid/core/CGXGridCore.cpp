// Construction, set-up, the attached objects and the object-and-document operations of the
// engine.
#include "grid/core/CGXGridAssistant.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXFindReplaceState.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXAbstractTabWndInterface.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/CGXGridGdiCache.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/core/CGXPluginComponent.h"
#include "platform/afx/gdi/CDC.h"
#include "grid/data/CGXCommandFactory.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CException.h"
#include "platform/win/Cursor.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

#include <algorithm>

CGXGridCore::CGXGridCore(CWnd* pGridWnd, CDocument* pGridDoc, BOOL bIsViewContext)
    : m_pAppData(GXGetAppData()), m_pGridWnd(pGridWnd), m_pGridDoc(pGridDoc), m_bIsViewContext(bIsViewContext),
      m_pDataClass(RUNTIME_CLASS(CGXData)), m_nFrameX(GetSystemMetrics(SM_CXFRAME)), m_nFrameY(GetSystemMetrics(SM_CYFRAME)),
      m_nBorderX(GetSystemMetrics(SM_CXBORDER)), m_nBorderY(GetSystemMetrics(SM_CYBORDER)),
      m_hcurArrow(LoadCursor(nullptr, IDC_ARROW))
{
    // The factory's installers fill the feature pointers and hand their objects to the
    // auto-delete list; a grid made before the library started simply has no features.
    if (m_pAppData->m_pControlFactory)
        m_pAppData->m_pControlFactory->InitializeGridComponents(this);
}

CGXGridCore::~CGXGridCore()
{
    m_pAssistant.reset();
    // The shared find state must not point at a grid that is gone.
    GXGetFindReplaceState().ForgetGrid(this);
    DestroyDragLineWnd();
    // Plug-ins share the window's handle; they forget it as they go.
    for (CGXPluginComponent* pPlugin : m_plugins)
        delete pPlugin;
    m_plugins.clear();
    FreeObjects();
    for (CGXStyle** ppStyle : {&m_pStyleEdit, &m_pStyleGetValue, &m_pStyleValue, &m_pStyleCurrentCell}) {
        delete *ppStyle;
        *ppStyle = nullptr;
    }
    m_pStyleClass = nullptr;
    // Features go first (newest first), the recycled styles after them.
    m_autoDelete.clear();
    for (CGXStyle* pStyle : m_freeStyles)
        delete pStyle;
    m_freeStyles.clear();
    m_pAppData->UnregisterGrid(this);
}

void CGXGridCore::FreeObjects()
{
    m_controls.clear();
    m_pCurrentCellControl = m_pDefaultControl = m_pLastControl = nullptr;
    m_nLastControlId = 0;
    FreeObjectCache();
    if (m_pParam != nullptr)
        m_pAppData->UnregisterGrid(this);
    if (m_bOwnParam)
        delete m_pParam;
    m_pParam = nullptr;
    m_bOwnParam = FALSE;
    m_pStyleStandard = m_pStyleRowHeader = m_pStyleColHeader = nullptr;
    for (CGXStyle* pStyle : {m_pStyleEdit, m_pStyleGetValue, m_pStyleValue})
        if (pStyle != nullptr)
            pStyle->Free();
}

void CGXGridCore::AddAutoDeleteImp(CObject* pImp)
{
    if (pImp != nullptr)
        m_autoDelete.insert(m_autoDelete.begin(), std::unique_ptr<CObject>(pImp));
}

void CGXGridCore::SetParam(CGXGridParam* pParam, BOOL bMustDelete)
{
    // The object already attached stays: only who deletes it changes. Deleting it first would
    // leave the grid pointing at freed memory.
    if (pParam != nullptr && pParam == m_pParam) {
        m_bOwnParam = bMustDelete;
        return;
    }
    if (m_bOwnParam)
        delete m_pParam;
    m_pParam = nullptr;
    m_bOwnParam = FALSE;
    m_pStyleStandard = m_pStyleRowHeader = m_pStyleColHeader = nullptr;
    m_controls.clear();
    m_pCurrentCellControl = m_pDefaultControl = m_pLastControl = nullptr;
    m_nLastControlId = 0;
    if (pParam == nullptr) {
        // A parameter object the grid makes for itself is its own to delete.
        pParam = new CGXGridParam;
        bMustDelete = TRUE;
    }
    m_pParam = pParam;
    m_bOwnParam = bMustDelete;
}

void CGXGridCore::Initialize()
{
    WNDCLASS wc{};
    if (!GetClassInfo(AfxGetInstanceHandle(), "GXWND", &wc))
        AfxThrowNotSupportedException(); // the grid library was not started

    GXSetPopupLock(FALSE);

    if (m_pStyleEdit == nullptr)
        m_pStyleEdit = CreateStyle();
    if (m_pStyleGetValue == nullptr)
        m_pStyleGetValue = CreateStyle();
    m_pStyleClass = m_pStyleEdit->GetRuntimeClass();
    if (m_pStyleValue == nullptr)
        m_pStyleValue = CreateStyle();

    if (m_pParam == nullptr)
        SetParam(nullptr, TRUE);
    CGXGridParam* pParam = m_pParam;

    m_pAppData->UnregisterGrid(this);
    m_pAppData->RegisterObjectUser(pParam, this);

    // The profile feature, when installed, gives new properties and base styles the values
    // the user stored.
    auto* pProfile = dynamic_cast<CGXGridProfileImp*>(m_pAppData->m_pGridProfileImp);
    if (pParam->GetProperties() == nullptr) {
        auto* pProperties = new CGXProperties;
        pProperties->AddDefaultProperties();
        if (pProfile != nullptr)
            pProfile->ReadProperties(*pProperties);
        pParam->SetProperties(pProperties, TRUE);
    }
    m_pAppData->RegisterObjectUser(pParam->GetProperties(), this);

    if (pParam->GetStylesMap() == nullptr) {
        auto* pStylesMap = new CGXStylesMap(m_pStyleClass);
        pStylesMap->CreateStandardStyles();
        if (pProfile != nullptr)
            pProfile->ReadBaseStyles(*pStylesMap);
        pParam->SetStylesMap(pStylesMap, TRUE);
    }
    m_pAppData->RegisterObjectUser(pParam->GetStylesMap(), this);

    LookupBaseStyles();

    if (m_pAppData->m_pControlFactory && m_pStyleStandard != nullptr) {
        const WORD nID = m_pStyleStandard->GetControl();
        if (m_controls.find(nID) == m_controls.end())
            if (CGXControl* pControl = m_pAppData->m_pControlFactory->CreateControl(nID, this))
                RegisterControl(nID, pControl);
    }

    if (pParam->GetData() == nullptr) {
        CObject* pObject = m_pDataClass != nullptr ? m_pDataClass->CreateObject() : nullptr;
        auto* pData = dynamic_cast<CGXData*>(pObject);
        if (pData == nullptr) {
            delete pObject;
            pData = new CGXData;
        }
        pParam->SetData(pData, TRUE);
        pData->InitParam(pParam);
    }
    m_pAppData->RegisterObjectUser(pParam->GetData(), this);

    pParam->m_bInitialized = TRUE;

    m_nZoom = pParam->GetProperties()->m_nZoom > 0 ? pParam->GetProperties()->m_nZoom : 100;
    CalcFontMetrics();
    m_bInitDone = TRUE;
    if (m_bTtnIsEnabled)
        EnableGridToolTips(TRUE); // asked for before the window stood

    m_nTopRow = std::max(m_nTopRow, GetFrozenRows() + 1);
    m_nLeftCol = std::max(m_nLeftCol, GetFrozenCols() + 1);

    // A grid in a sheet tab takes its name from the tab, or gives the tab its name.
    if (auto* pTabs = dynamic_cast<CGXAbstractTabWndInterface*>(m_pAppData->m_pTabWndInterface.get()); pTabs != nullptr && m_pGridWnd != nullptr)
        pParam->m_sSheetName = pTabs->GetSetSheetName(m_pGridWnd, pParam->m_sSheetName, !pParam->m_sSheetName.IsEmpty());

    if (pParam->m_bRememberCurrentCell && pParam->m_nRememberedRow != GX_INVALID && pParam->m_nRememberedCol != GX_INVALID &&
        pParam->m_nRememberedRow <= GetRowCount() && pParam->m_nRememberedCol <= GetColCount()) {
        SetCurrentCellState(TRUE, pParam->m_nRememberedRow, pParam->m_nRememberedCol);
        OnInitCurrentCell(pParam->m_nRememberedRow, pParam->m_nRememberedCol);
    }

    m_rgLastSelectionFrame = CGXRange();
    if (POSITION pos = pParam->m_SelRects.GetTailPosition())
        m_rgLastSelectionFrame = *pParam->m_SelRects.GetRangeAt(pos);
    m_pCurrentCellControl = nullptr;
    // Plug-ins added before the window existed take its handle now.
    for (CGXPluginComponent* pPlugin : m_plugins)
        pPlugin->PlugIn(m_pGridWnd);
    if (m_pAssistant)
        m_pAssistant->OnInitialize(this);
    UpdateScrollbars(TRUE, FALSE);
}

void CGXGridCore::SetAssistant(CGXGridAssistant* pAssistant)
{
    if (m_pAssistant.get() != pAssistant)
        m_pAssistant.reset(pAssistant);
}

void CGXGridCore::LookupBaseStyles()
{
    m_pStyleStandard = m_pStyleRowHeader = m_pStyleColHeader = nullptr;
    const CGXStylesMap* pMap = m_pParam != nullptr ? m_pParam->GetStylesMap() : nullptr;
    if (pMap == nullptr)
        return;
    m_pStyleRowHeader = pMap->LookupStyle(pMap->m_wStyleRowHeader);
    m_pStyleColHeader = pMap->LookupStyle(pMap->m_wStyleColHeader);
    m_pStyleStandard = pMap->LookupStyle(pMap->m_wStyleStandard);
}

void CGXGridCore::GetGridRect(LPRECT lpRect)
{
    if (lpRect == nullptr)
        return;
    CRect rect;
    if (m_bPrint)
        rect = m_rectPrint;
    else if (m_bDisplayRect)
        rect = m_rectDisplay;
    else if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
        m_pGridWnd->GetClientRect(&rect);
    if (rect.right < rect.left || rect.bottom < rect.top)
        rect.SetRect(0, 0, 0, 0);
    *lpRect = rect;
}

void CGXGridCore::SetGridRect(BOOL bSet, LPCRECT lpRect)
{
    m_bDisplayRect = bSet;
    if (bSet && lpRect != nullptr)
        m_rectDisplay = *lpRect;
    // Which rows and columns are in view depends on the rectangle.
    m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;
}

CWnd* CGXGridCore::GetScrollBarParent()
{
    return m_pAppData->FindScrollBarParent(m_pGridWnd);
}

int CGXGridCore::GetResizeTrackingState(int& nMode, ROWCOL& nIndex) const
{
    nMode = m_nTrackingMode;
    nIndex = m_nTrackingMode == 1 ? m_nTrackRow : m_nTrackCol;
    return m_bTracking;
}

BOOL CGXGridCore::HintsWanted(BOOL bCreateHint) const
{
    return bCreateHint && m_bHintsEnabled && !m_bReplayingHint && m_pUpdateHintImp != nullptr;
}

// ---- Object and document ----

void CGXGridCore::SetPrinting(BOOL bPrint, BOOL bClientToRect)
{
    if (bPrint && m_bCurrentCell && m_pCurrentCellControl != nullptr && m_pCurrentCellControl->IsActive()) {
        SyncCurrentCell(TRUE, GX_UPDATENOW, TRUE);
        m_pCurrentCellControl->SetActive(FALSE);
    }
    m_bPrint = bPrint;
    // Sizes are kept relative to the standard font: the font as the printed page measures it
    // gives the printed rows and columns their sizes, so it is measured whenever printing
    // starts, not only when the window's rectangle is taken.
    if (bPrint)
        CalcPrinterFontMetrics();
    if (bClientToRect) {
        if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
            m_pGridWnd->GetClientRect(&m_rectPrint);
        m_nPrintTopRow = GetFrozenRows() + 1;
        m_nPrintLeftCol = GetFrozenCols() + 1;
    }
    if (m_pParam != nullptr && m_pParam->GetProperties() != nullptr)
        m_pParam->GetProperties()->m_bPrinting = bPrint;
}

void CGXGridCore::SetModifiedFlag(BOOL bModified)
{
    if (m_bHintsEnabled && m_pGridDoc != nullptr)
        m_pGridDoc->SetModifiedFlag(bModified);
}

void CGXGridCore::UpdateAllViews(CWnd* pSender, LPARAM lHint, CObject* pHint)
{
    // A grid window has no other views; the views of a document hear through it, all but the
    // sender.
    if (m_bHintsEnabled && m_pGridDoc != nullptr)
        m_pGridDoc->UpdateAllViews(dynamic_cast<CView*>(pSender), lHint, pHint);
}

void CGXGridCore::ProcessHint(CWnd* pSender, LPARAM lHint, CObject* pHint)
{
    if (m_pUpdateHintImp != nullptr)
        m_pUpdateHintImp->HintUpdate(this, pSender, lHint, pHint);
}

// ---- Read-only switch and zoom ----

BOOL CGXGridCore::IsReadOnly()
{
    return m_pParam != nullptr && m_pParam->m_bReadOnly;
}

BOOL CGXGridCore::StoreReadOnly(BOOL bReadOnly)
{
    if (m_pParam == nullptr)
        return FALSE;
    m_pParam->m_bReadOnly = bReadOnly;
    return TRUE;
}

BOOL CGXGridCore::SetReadOnly(BOOL bReadOnly)
{
    const BOOL bOld = IsReadOnly();
    if (!StoreReadOnly(bReadOnly))
        return FALSE;
    UpdateReadOnly(bOld, TRUE);
    return TRUE;
}

void CGXGridCore::UpdateReadOnly(BOOL, BOOL bCreateHint)
{
    if (m_bCurrentCell && m_pCurrentCellControl != nullptr && m_pCurrentCellControl->IsActive())
        m_pCurrentCellControl->Init(m_nCurrentRow, m_nCurrentCol);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateProperty(this);
}

