// CGXGridAppData: the grid library's one process-wide record: the clipboard format of grid
// styles, the control factory, the application-wide features, the library's texts, the classes
// that give grids their scroll bars, the map of which grids use which shared object and the
// popup lock. InitGridLibrary fills it at start-up and TerminateGridLibrary releases it. Grids
// live on the user-interface thread only, so the record needs no lock.
#pragma once

#include "grid/core/CGXSysColorCache.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <vector>

class CGXAbstractLongOperationImp;
class CGXControlFactory;
class CGXGridCore;
class CWnd;

// The library's texts, in the order the record keeps them.
enum GXAppText : int {
    gxTextRedoing,
    gxTextUndoing,
    gxTextGenUndoInfo,
    gxTextStoringCells,
    gxTextRestoringCells,
    gxTextCells,
    gxTextRemovingRows,
    gxTextRemovingCols,
    gxTextMoveRows,
    gxTextMoveCols,
    gxTextInsertRows,
    gxTextInsertCols,
    gxTextCopyingText,
    gxTextCopyingInternal,
    gxTextCutData,
    gxTextClearCells,
    gxTextCuttingData,
    gxTextPastingData,
    gxTextPaste,
    gxTextReplacing,
    gxTextReplaceAll,
    gxTextSearching,
    gxTextResizingRows,
    gxTextResizingCols,
    gxTextFreezeRows,
    gxTextFreezeCols,
    gxTextCurrentCell,
    gxTextClipboardSize,
    gxTextCopy,
    gxTextMove,
    gxTextSortRows,
    gxTextSortCols,
    gxTextLayingOutPages,
    gxTextCount,
};

// Hears of every grid that was activated (its window or view took the focus or became the
// active view).
class CGXGridActivationListener {
public:
    virtual ~CGXGridActivationListener() = default;
    virtual void OnGridActivated(CGXGridCore* pGrid) = 0;
};

class CGXGridAppData {
public:
    CGXGridAppData();
    ~CGXGridAppData();
    CGXGridAppData(const CGXGridAppData&) = delete;
    CGXGridAppData& operator=(const CGXGridAppData&) = delete;

    // Application-wide features: each installer makes its object once and hands it over here;
    // the record deletes them (newest first) at termination.
    void AddAutoDeleteImp(CObject* pImp);
    // What every feature's installer does: a new Imp in its slot, unless the slot holds one
    // already (installing twice keeps the first), handed over for deletion.
    template <class Imp>
    void InstallImp(CObject*& pSlot)
    {
        if (pSlot != nullptr)
            return;
        auto* pImp = new Imp;
        pSlot = pImp;
        AddAutoDeleteImp(pImp);
    }
    // Takes an object back from the auto-delete list without deleting it; FALSE when absent.
    BOOL RemoveAutoDeleteImp(CObject* pImp);

    // Classes whose windows give the grids inside them their scroll bars; each kept once.
    void RegisterScrollBarParentClass(CRuntimeClass* pClass);
    CWnd* FindScrollBarParent(CWnd* pWnd) const;
    size_t GetScrollBarParentClassCount() const { return m_scrollBarParents.size(); }

    // Which grids use a shared object (parameter object, properties, styles map, data).
    void RegisterObjectUser(const void* pObject, CGXGridCore* pGrid);
    // A grid that goes: it leaves every user list and is no longer the active grid.
    void UnregisterGrid(CGXGridCore* pGrid);
    CGXGridCore* FindImpForObject(const void* pObject) const;
    size_t GetObjectUserCount(const void* pObject) const;

    const CString& GetText(GXAppText nText) const { return m_asText[nText]; }

    // Frees the control factory, the owned slots and every application-wide feature.
    void FreeObjects();

    BOOL m_bInitDone = FALSE;
    UINT m_uiClipboardFormat = 0;
    CString m_asText[gxTextCount];
    CString m_sDragLineWndClass;
    // Version word (major × 256 + minor) and flags of the system the program runs on.
    WORD m_wVersion = 0;
    BOOL m_bWin95Family = FALSE;
    BOOL m_bWin4 = FALSE;
    BOOL m_bBeforeWin4 = FALSE;
    BOOL m_bWin32s = FALSE;
    BOOL m_bPopupLock = FALSE;
    // Printing draws a character wider than its cell whole instead of cutting it at the cell.
    BOOL m_bNoClipWhenPrinting = FALSE;
    // The grid activated last, or null.
    CGXGridCore* m_pActiveGrid = nullptr;
    // Told of each successful activation of a grid; not owned, null when not registered.
    CGXGridActivationListener* m_pActivationListener[2] = {nullptr, nullptr};

    std::unique_ptr<CGXControlFactory> m_pControlFactory;
    // Set by the first sheet-tab window; names grids after their tabs.
    std::unique_ptr<CObject> m_pTabWndInterface;

    // The application-wide features, null until installed, in the order the library keeps
    // them. The installers of the long operation, rotated text, date-time, printer and profile
    // features fill theirs; the others stand for behaviour that the pools, styles, data and
    // parameter object carry themselves here, so no installer fills them and a feature library
    // may.
    CObject* m_pUnusedImp = nullptr;
    CObject* m_pCoveredCellPoolImp = nullptr;
    CObject* m_pSpanCellPoolImp = nullptr;
    CObject* m_pDelayedRangePoolImp = nullptr;
    CObject* m_pPrintDeviceImp = nullptr;
    CObject* m_pStyleCompareSubsetImp = nullptr;
    CObject* m_pStyleSerializeImp = nullptr;
    CObject* m_pGridDocSerializeImp = nullptr;
    CObject* m_pGridProfileImp = nullptr;
    CObject* m_pGridParamCopyOperatorImp = nullptr;
    CObject* m_pSortMoveDataImp = nullptr;
    CObject* m_pDrawRotatedTextImp = nullptr; // a CGXAbstractDrawRotatedTextImp
    CObject* m_pDateTimeImp = nullptr;        // a CGXNoOleDateTimeImp
    CObject* m_pDataCopyMoveCellsImp = nullptr;
    CGXAbstractLongOperationImp* m_pLongOperationImp = nullptr;
    CObject* m_pSerializeCompatibleImp = nullptr;
    CObject* m_pNumberFormattingImp = nullptr;
    static constexpr int kAppImpCount = 17;
    // The seventeen slots in their order, for a walk over all of them.
    std::array<CObject*, kAppImpCount> GetAppImps() const;

private:
    std::vector<CRuntimeClass*> m_scrollBarParents;
    // Users in the order they registered; an object's entry goes with its last user.
    std::map<const void*, std::vector<CGXGridCore*>> m_objectUsers;
    // Newest at the front.
    std::deque<std::unique_ptr<CObject>> m_autoDelete;
};

// The process's one record and colour cache.
CGXGridAppData* GXGetAppData();
CGXSysColorCache* GXGetSysData();

// Library start-up: takes over the factory (a previous one is deleted), registers the clipboard
// format and the window classes, lets the factory install the application-wide features, loads
// the texts and refreshes the colour cache. Called once by GXInitControlFactory.
void InitGridLibrary(CGXControlFactory* pFactory);
// Library shut-down: unregisters the library's own classes and frees everything the start-up
// made. Null means the process's record; nothing happens without a prior start-up.
void TerminateGridLibrary(CGXGridAppData* pAppData = nullptr);

// The library-wide flag a cell control sets while its pop-up (drop-down list, calendar,
// calculator) opens, so that the pop-up's activation does not end the cell's edit.
void GXSetPopupLock(BOOL bLock);
BOOL GXGetPopupLock();

// The window's parent when it is of the class; without bDirectOnly also null while any
// ancestor is minimised.
CWnd* GetParentOfClass(const CWnd* pWnd, CRuntimeClass* pClass, BOOL bDirectOnly);

// The application's active view: the main frame's, else that of its active frame; null when
// neither has one.
class CView;
CView* GXGetActiveView();

// Lets the date-time feature re-read the locale's date order and separators; nothing without it.
// The library's start-up and every grid's system-setting change call it.
void UpdateLocaleSettings();

// The clipboard format's name: the prefix and eight lower-case hex digits of the instance.
CString GXClipboardFormatName(HINSTANCE hInstance);
