// The project's grid: rows, columns, and the cells read from and written to the pages.
#include "app/views/CGroupView.h"

#include "app/views/CEarlierRowsCmd.h"
#include "app/views/CGroupFrame.h"
#include "app/views/CPageStatusCell.h"
#include "app/frame/AppMessages.h"
#include "app/frame/CMainFrame.h"
#include "app/frame/CVostrelApp.h"
#include "app/res/GroupViewRes.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CScanNameLookup.h"
#include "grid/core/CGXControl.h"
#include "grid/core/CGXEditControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXHotSpotEdit.h"
#include "grid/core/CGXSortInfoArray.h"
#include "grid/data/CGXCommand.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/CGXRangeList.h"
#include "grid/data/CGXStylesMap.h"
#include "grid/data/CGXUserAttribute.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/core/CPtrArray.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNCREATE(CGroupView, CGridViewWrapper)

namespace {

// A counter raised for a scope.
struct ScopedCount {
    explicit ScopedCount(int& n) : m_n(n) { ++m_n; }
    ~ScopedCount() { --m_n; }
    ScopedCount(const ScopedCount&) = delete;
    ScopedCount& operator=(const ScopedCount&) = delete;
    int& m_n;
};

// Undo recording off for a scope, back to what it was after.
struct UndoOff {
    explicit UndoOff(CGXGridCore& grid) : m_pParam(grid.GetParam())
    {
        if (m_pParam != nullptr) {
            m_bOld = m_pParam->IsEnableUndo();
            m_pParam->EnableUndo(FALSE);
        }
    }
    ~UndoOff()
    {
        // Back to what it was: a nested scope must not switch recording on inside an outer one.
        if (m_pParam != nullptr)
            m_pParam->EnableUndo(m_bOld);
    }
    UndoOff(const UndoOff&) = delete;
    UndoOff& operator=(const UndoOff&) = delete;
    CGXGridParam* m_pParam;
    BOOL m_bOld = TRUE;
};

CMetaSettingList* Catalogue()
{
    CMetaSettingList* pList = nullptr;
    CVostrelApp* pApp = GetVostrelApp();
    return pApp != nullptr && pApp->GetMetaSettingList(pList) == 0 ? pList : nullptr;
}

UINT RunState()
{
    CVostrelApp* pApp = GetVostrelApp();
    return pApp != nullptr ? pApp->GetRunState() : static_cast<UINT>(CVostrelAppModel::runIdle);
}

} // namespace

CGroupView::CGroupView() = default;

CGroupView::~CGroupView()
{
    StopColumnBatch();
}

BOOL CGroupView::PreCreateWindow(CREATESTRUCT& cs)
{
    return CGridViewWrapper::PreCreateWindow(cs);
}

CGroupFrame* CGroupView::GetGroupFrame()
{
    return dynamic_cast<CGroupFrame*>(GetParentFrame());
}

// ---- The view ----

void CGroupView::OnInitialUpdate()
{
    {
        // The platform's first update sends hint 0 as well: it must not load anything yet.
        ScopedCount loading(m_nLoading);
        CGridViewWrapper::OnInitialUpdate();
    }
    UndoOff undoOff(*this);

    CGXStyle standard;
    standard.SetInterior(kInteriorColor);
    SetStandardBaseStyle(standard, gxOverride, 0);
    if (CGXStylesMap* pMap = GetParam() != nullptr ? GetParam()->GetStylesMap() : nullptr)
        pMap->AddUserAttribute(GX_IDS_UA_TOOLTIPTEXT);
    EnableGridToolTips();
    // A plain click leaves its cell selected, so that it shows highlighted and framed.
    if (GetParam() != nullptr)
        GetParam()->m_bKeepSingleCellSelection = TRUE;
    // A row is a page and a column a setting: a paste that reaches past the last of them is
    // cut there, instead of adding rows no page stands behind and columns of no setting, whose
    // values would go nowhere.
    m_nClipboardFlags |= GX_CLIP_NOADDROWS | GX_CLIP_NOADDCOLS;

    // The page-status cells, one of each kind, owned by the grid from here on.
    RegisterControl(IDS_NOT_SCANNED_CELL, new CNotScannedCell(this));
    RegisterControl(IDS_SCANNED_CELL, new CScannedCell(this));
    RegisterControl(IDS_DIRTY_CELL, new CDirtiedCell(this));
    RegisterControl(IDS_UNREADABLE_CELL, new CUnreadableCell(this));

    // The sort, the column order and the widths the user gave the last grid come back with
    // this one.
    if (CVostrelApp* pApp = GetVostrelApp())
        if (std::optional<CUserGridLayout> layout = pApp->TakeGridLayout())
            m_userLayout = std::move(*layout);
    if (CMetaSettingList* pList = Catalogue())
        SetUpColumns(*pList);

    WidenFileColumns();

    if (CGroupFrame* pFrame = GetGroupFrame())
        pFrame->SetView(this);
    // The edits the pages hold come with their way back, when the last grid's window was
    // closed on them.
    TakeHistoryOfLastGrid();
}

void CGroupView::WidenFileColumns()
{
    // The file column (and the title's) is wide enough for 25 letters; fitting the columns to
    // their headers must not leave the paths a few letters wide.
    CDC* pDC = GetGridDC();
    if (pDC == nullptr)
        return;
    const int nWidth = 25 * pDC->GetTextExtent(CString("a")).cx;
    ReleaseGridDC();
    const ROWCOL nLast = std::min(GetColCount(), m_bShowTitle ? kTitleColumn : kFileColumn);
    for (ROWCOL nCol = kFileColumn; nCol <= nLast; ++nCol)
        if (GetColWidth(nCol) < nWidth)
            SetColWidth(nCol, nCol, nWidth, nullptr, 0, gxDo);
}

UINT CGroupView::SetUpColumns(CMetaSettingList& list)
{
    UndoOff undoOff(*this);
    CStringArray headers;
    CString strFile;
    if (!strFile.LoadString(IDS_HTML_FILE_HEADER))
        strFile = "HTML File";
    headers.Add(strFile);
    if (m_bShowTitle)
        headers.Add(CString("Title"));
    ROWCOL nColumn = m_bShowTitle ? 3 : 2;
    m_settingColumns.Reset(nColumn);
    std::vector<CMetaSetting*> shown;
    std::vector<CString> names;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        CMetaSetting* pSetting = list.GetNext(pos);
        UINT bShow = 0;
        pSetting->GetShow(bShow);
        if (!bShow)
            continue;
        shown.push_back(pSetting);
        names.emplace_back();
        pSetting->GetName(names.back());
    }
    // The columns stand as the user moved them; the record of columns, which places the
    // settings a scan shows by the catalogue's order, knows them only while they stand in it.
    const std::vector<size_t> order = m_userLayout.Arrange(names);
    const bool bCatalogueOrder = std::is_sorted(order.begin(), order.end());
    for (const size_t n : order) {
        shown[n]->SetColumn(nColumn++);
        if (bCatalogueOrder)
            m_settingColumns.Append(shown[n]);
        headers.Add(names[n]);
    }
    list.SetNextOrdinal(nColumn);
    const ROWCOL nCount = static_cast<ROWCOL>(headers.GetSize());
    if (GetColCount() != nCount)
        SetColCount(nCount, 0);
    SetHeaders(nCount, headers);
    std::vector<CString> tips(nCount + 1);
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        CMetaSetting* pSetting = list.GetNext(pos);
        UINT bShow = 0;
        pSetting->GetShow(bShow);
        ROWCOL nCol = 0;
        pSetting->GetColumn(nCol);
        if (bShow && nCol >= 1 && nCol <= nCount)
            pSetting->GetDescription(tips[nCol]);
    }
    // A header keeps no tip of the setting that stood in its column before: one whose setting
    // has no description now (or the title) shows none.
    const CGXData* pData = GetData();
    for (ROWCOL nCol = 1; nCol <= nCount; ++nCol) {
        const CGXStyle* pStored = pData != nullptr ? pData->LookupStyle(0, nCol) : nullptr;
        const BOOL bTipped = pStored != nullptr && pStored->HasUserAttribute(GX_IDS_UA_TOOLTIPTEXT) &&
                             !pStored->GetUserAttribute(GX_IDS_UA_TOOLTIPTEXT).GetValueText().IsEmpty();
        if (!tips[nCol].IsEmpty() || bTipped)
            SetHeaderTooltip(0, nCol, 0, nCol, tips[nCol]);
    }
    return 0;
}

ROWCOL CGroupView::ColumnForNewSetting(CMetaSettingList& list, CMetaSetting* pSetting)
{
    // The catalogue's place, whatever order a scan finds the tags in: the new column follows
    // the column of the setting before it in the catalogue, wherever the user has moved that
    // one. A column added at the end instead would put the columns in a new order at every
    // scan and every start.
    std::map<std::string, ROWCOL> shown;
    const ROWCOL nFirst = FirstSettingColumn();
    for (ROWCOL nCol = nFirst; nCol <= GetColCount(); ++nCol)
        shown.emplace(CUserGridLayout::Key(GetStoredCellValue(0, nCol)), nCol);
    ROWCOL nCol = nFirst;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        CMetaSetting* pOther = list.GetNext(pos);
        if (pOther == pSetting)
            break;
        CString strName;
        pOther->GetName(strName);
        if (const auto found = shown.find(CUserGridLayout::Key(strName)); found != shown.end())
            nCol = found->second + 1;
    }
    return std::min<ROWCOL>(nCol, GetColCount() + 1);
}

void CGroupView::NumberSettingColumns(CMetaSettingList& list)
{
    const ROWCOL nFirst = FirstSettingColumn();
    for (ROWCOL nCol = nFirst; nCol <= GetColCount(); ++nCol) {
        CMetaSetting* pSetting = nullptr;
        if (list.FindByName(GetStoredCellValue(0, nCol), pSetting) == 0 && pSetting != nullptr)
            pSetting->SetColumn(nCol);
    }
    list.SetNextOrdinal(GetColCount() + 1);
}

BOOL CGroupView::TrustsColumnRecord()
{
    return RunState() != static_cast<UINT>(CVostrelAppModel::runIdle) && m_settingColumns.Covers(GetColCount());
}

void CGroupView::AddSettingColumn(CMetaSettingList& list, CMetaSetting* pSetting)
{
    ScopedCount loading(m_nLoading);
    UndoOff undoOff(*this);
    // A scan may show thousands of settings, one at a time while it waits: the record finds the
    // column's place and numbers the columns after it without reading every column's header
    // and the whole catalogue again for each.
    const BOOL bRecorded = TrustsColumnRecord();
    ROWCOL nCol = bRecorded ? m_settingColumns.PlaceFor(list, pSetting) : 0;
    const BOOL bPlaced = nCol != 0;
    if (!bPlaced)
        nCol = ColumnForNewSetting(list, pSetting);
    pSetting->SetColumn(nCol);
    InsertColumn(nCol);
    CString strName, strDescription;
    pSetting->GetName(strName);
    pSetting->GetDescription(strDescription);
    SetHeaderText(0, nCol, strName);
    if (!strDescription.IsEmpty())
        SetHeaderTooltip(0, nCol, 0, nCol, strDescription);
    if (bPlaced) {
        list.SetNextOrdinal(m_settingColumns.Insert(nCol, pSetting));
    } else {
        NumberSettingColumns(list);
        // Placed without the record, which no longer matches the columns.
        m_settingColumns.Reset(FirstSettingColumn());
    }
    const ROWCOL nRows = GetRowCount();
    if (nRows > 0 && pSetting->SetupValueCell(static_cast<IGroupView*>(this), nRows) != 0)
        CGridViewWrapper::SetEditCell(1, nCol, nRows, nCol);
    FitColumnToHeader(0, nCol);
}

void CGroupView::QueueSettingColumn(CMetaSettingList& list, CMetaSetting* pSetting)
{
    // The scan waits while its setting is handed over, so the catalogue can be read now; the
    // column itself comes with the next batch, which inserts, fits and paints its columns
    // together. A scan of thousands of new names would otherwise wait for a repaint of the
    // grid for each.
    CSettingColumns::Added added{pSetting, 0};
    if (!TrustsColumnRecord() || !m_settingColumns.OrderFor(list, pSetting, added.nOrder)) {
        ShowPendingColumns();
        AddSettingColumn(list, pSetting);
        return;
    }
    m_pendingColumns.push_back(added);
    if (m_nBatchTimer == 0) {
        m_nBatchTimer = ::SetTimer(nullptr, 0, kColumnBatchMs, &CGroupView::OnColumnBatchTimer);
        BatchingViews()[m_nBatchTimer] = this;
    }
}

std::map<UINT_PTR, CGroupView*>& CGroupView::BatchingViews()
{
    static std::map<UINT_PTR, CGroupView*> s_views;
    return s_views;
}

void CALLBACK CGroupView::OnColumnBatchTimer(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    const auto found = BatchingViews().find(nTimer);
    if (found != BatchingViews().end())
        found->second->ShowPendingColumns();
}

void CGroupView::StopColumnBatch()
{
    if (m_nBatchTimer == 0)
        return;
    ::KillTimer(nullptr, m_nBatchTimer);
    BatchingViews().erase(m_nBatchTimer);
    m_nBatchTimer = 0;
}

void CGroupView::ShowPendingColumns()
{
    StopColumnBatch();
    if (m_pendingColumns.empty() || GetParam() == nullptr)
        return;
    std::vector<CSettingColumns::Added> batch;
    batch.swap(m_pendingColumns);
    ScopedCount loading(m_nLoading);
    UndoOff undoOff(*this);
    std::vector<ROWCOL> places;
    if (m_settingColumns.Covers(GetColCount())) {
        places = m_settingColumns.InsertAll(batch);
    } else if (CMetaSettingList* pList = Catalogue()) {
        // The columns were moved since the settings came: the user's order stands, and each new
        // column goes where the catalogue puts it, after the column of the setting before it.
        places = PlaceAmongMovedColumns(*pList, batch);
    }
    {
        // Nothing is drawn until the whole batch stands.
        CGXGridParam* pParam = GetParam();
        const BOOL bOldLock = pParam->m_bLockUpdate;
        pParam->m_bLockUpdate = TRUE;
        // Runs of adjacent new columns are inserted at once, left to right: each run's place is
        // already its final one, as the runs left of it stand.
        std::vector<std::pair<ROWCOL, ROWCOL>> runs;
        for (const ROWCOL nCol : places) {
            if (!runs.empty() && runs.back().second + 1 == nCol)
                runs.back().second = nCol;
            else
                runs.emplace_back(nCol, nCol);
        }
        for (const auto& run : runs)
            InsertCols(run.first, run.second - run.first + 1, nullptr, nullptr, nullptr, 0, 0, gxDo);
        const ROWCOL nRows = GetRowCount();
        for (size_t n = 0; n < places.size(); ++n) {
            CMetaSetting* pSetting = batch[n].pSetting;
            const ROWCOL nCol = places[n];
            CString strName, strDescription;
            pSetting->GetName(strName);
            pSetting->GetDescription(strDescription);
            CGXStyle header;
            header.SetValue(strName);
            if (!strDescription.IsEmpty())
                SetTooltipAttribute(header, strDescription);
            ApplyStyleToRange(CGXRange(0, nCol, 0, nCol), &header, gxOverride, 0, nullptr, 0, gxDo);
            if (nRows > 0 && pSetting->SetupValueCell(static_cast<IGroupView*>(this), nRows) != 0)
                CGridViewWrapper::SetEditCell(1, nCol, nRows, nCol);
        }
        if (m_pResizeToFitImp != nullptr)
            for (const auto& run : runs)
                ResizeColWidthsToFit(CGXRange(0, run.first, 0, run.second), TRUE, 0, gxDo);
        pParam->m_bLockUpdate = bOldLock;
    }
    if (m_pResizeToFitImp == nullptr)
        for (const ROWCOL nCol : places)
            FitColumnToHeader(0, nCol);
    if (CMetaSettingList* pList = Catalogue())
        pList->SetNextOrdinal(GetColCount() + 1);
    Redraw(GX_INVALIDATE, FALSE);
}

std::vector<ROWCOL> CGroupView::PlaceAmongMovedColumns(CMetaSettingList& list, std::vector<CSettingColumns::Added>& batch)
{
    const ROWCOL nFirst = FirstSettingColumn();
    std::unordered_map<std::string, size_t> standing;
    for (ROWCOL nCol = nFirst; nCol <= GetColCount(); ++nCol)
        standing.emplace(CUserGridLayout::Key(GetStoredCellValue(0, nCol)), standing.size());
    std::set<const CMetaSetting*> added;
    for (const CSettingColumns::Added& one : batch)
        added.insert(one.pSetting);
    // Every column there will be, in the catalogue's order.
    std::vector<CString> names;
    std::vector<CMetaSetting*> settings;
    std::set<std::string> found;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        CMetaSetting* pSetting = list.GetNext(pos);
        CString strName;
        pSetting->GetName(strName);
        if (added.count(pSetting) != 0 || standing.count(CUserGridLayout::Key(strName)) != 0) {
            names.push_back(strName);
            settings.push_back(pSetting);
            found.insert(CUserGridLayout::Key(strName));
        }
    }
    // A column the catalogue no longer names still takes its place among the others.
    for (ROWCOL nCol = nFirst; nCol <= GetColCount(); ++nCol)
        if (found.count(CUserGridLayout::Key(GetStoredCellValue(0, nCol))) == 0) {
            names.push_back(GetStoredCellValue(0, nCol));
            settings.push_back(nullptr);
        }
    std::vector<CSettingColumns::Added> placed;
    std::vector<ROWCOL> places;
    ROWCOL nCol = nFirst;
    for (const size_t n : CUserGridLayout::Arrange(names, standing)) {
        if (settings[n] != nullptr && added.count(settings[n]) != 0) {
            settings[n]->SetColumn(nCol);
            placed.push_back(CSettingColumns::Added{settings[n], n});
            places.push_back(nCol);
        }
        ++nCol;
    }
    batch.swap(placed);
    return places;
}

BOOL CGroupView::StoreMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, BOOL bProcessed)
{
    m_settingColumns.Reset(FirstSettingColumn());
    return CGridViewWrapper::StoreMoveCols(nFromCol, nToCol, nDestCol, bProcessed);
}

BOOL CGroupView::StoreMoveDataCols(const CGXRange& range, const CDWordArray& order)
{
    m_settingColumns.Reset(FirstSettingColumn());
    return CGridViewWrapper::StoreMoveDataCols(range, order);
}

BOOL CGroupView::MoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, UINT nFlags, int nMode)
{
    const BOOL bMoved = CGridViewWrapper::MoveCols(nFromCol, nToCol, nDestCol, nFlags, nMode);
    if (bMoved && m_nLoading == 0) {
        // The META columns stand in the user's order from now on, whatever fills the grid.
        std::vector<CString> names;
        for (ROWCOL nCol = FirstSettingColumn(); nCol <= GetColCount(); ++nCol)
            names.push_back(GetStoredCellValue(0, nCol));
        m_userLayout.SetOrder(names);
    }
    return bMoved;
}

BOOL CGroupView::CanDragSelectedCols(ROWCOL nFirst, ROWCOL nLast)
{
    // A row finds its page in the file column and its title in the column after it: those two
    // stay first; the META columns move among themselves.
    return nFirst >= FirstSettingColumn() && CGridViewWrapper::CanDragSelectedCols(nFirst, nLast);
}

BOOL CGroupView::CanDropSelectedCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest)
{
    return nDest >= FirstSettingColumn() && CGridViewWrapper::CanDropSelectedCols(nFirst, nLast, nDest);
}

void CGroupView::SortRows(CGXRange sortRange, const CObArray& sortInfo, UINT nFlags)
{
    CGXGridParam* pParam = GetParam();
    const CObject* pOldHead = pParam == nullptr || pParam->m_UndoList.IsEmpty() ? nullptr : pParam->m_UndoList.GetHead();
    const std::optional<CUserGridLayout::Sort> sortBefore = m_userLayout.GetSort();
    {
        ScopedCount sorting(m_nSorting);
        CGridViewWrapper::SortRows(sortRange, sortInfo, nFlags);
    }
    if (m_nArranging != 0)
        return;
    if (pParam != nullptr)
        NoteSortOfNewStep(pParam->m_UndoList, pOldHead, sortBefore);
    // All the rows sorted by one column: they are kept so whatever fills the grid again.
    const auto* pKey = sortInfo.GetSize() == 1 ? static_cast<const CGXSortInfo*>(sortInfo.GetAt(0)) : nullptr;
    const BOOL bAllRows = sortRange.IsTable() || sortRange.IsCols() || (sortRange.top <= 1 && sortRange.bottom >= GetRowCount());
    if (pKey != nullptr && bAllRows && pKey->nRC >= 1 && pKey->nRC <= GetColCount())
        m_userLayout.SetSort(GetStoredCellValue(0, pKey->nRC), pKey->IsAscending() != FALSE);
    else
        m_userLayout.ForgetSort();
}

BOOL CGroupView::StoreMoveDataRows(const CGXRange& range, const CDWordArray& order)
{
    // Rows put in another order by anything but a sort, an undone sort among them, stand in no
    // sorted order any more.
    if (m_nSorting == 0)
        m_userLayout.ForgetSort();
    return CGridViewWrapper::StoreMoveDataRows(range, order);
}

BOOL CGroupView::StoreMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, BOOL bProcessed)
{
    if (m_nLoading == 0)
        m_userLayout.ForgetSort();
    return CGridViewWrapper::StoreMoveRows(nFromRow, nToRow, nDestRow, bProcessed);
}

void CGroupView::ApplyUserSort()
{
    const std::optional<CUserGridLayout::Sort>& sort = m_userLayout.GetSort();
    if (!sort || GetRowCount() < 2)
        return;
    ROWCOL nKey = 0;
    for (ROWCOL nCol = 1; nCol <= GetColCount() && nKey == 0; ++nCol)
        if (CUserGridLayout::Key(GetStoredCellValue(0, nCol)) == CUserGridLayout::Key(sort->strColumn))
            nKey = nCol;
    if (nKey == 0)
        return;
    // The current cell stays on its page, wherever the page's row goes.
    const Place place = CurrentPlace();
    {
        ScopedCount arranging(m_nArranging);
        UndoOff undoOff(*this);
        CGXSortInfoArray keys;
        keys.Add(CGXSortInfo(nKey, CGXSortInfo::alphanumeric, sort->bAscending ? CGXSortInfo::ascending : CGXSortInfo::descending));
        SortRows(CGXRange().SetRows(1, GetRowCount()), keys);
    }
    ReturnToPlace(place);
}

CGroupView::Place CGroupView::CurrentPlace()
{
    Place place;
    place.nTopRow = GetTopRow();
    place.nLeftCol = GetLeftCol();
    if (GetCurrentCell(place.nRow, place.nCol)) {
        GetRowPage(place.nRow, place.pPage);
        place.strColumn = GetStoredCellValue(0, place.nCol);
    }
    return place;
}

void CGroupView::ReturnToPlace(const Place& place)
{
    if (GetRowCount() == 0 || GetColCount() == 0)
        return;
    // The rows and columns before the scroll position are as many as before; the current cell
    // goes to its page's row and its setting's column, wherever they stand now.
    if (place.nTopRow > GetFrozenRows() && GetRowCount() > GetFrozenRows())
        SetTopRow(std::min(place.nTopRow, GetRowCount()), GX_INVALIDATE);
    if (place.nLeftCol > GetFrozenCols() && GetColCount() > GetFrozenCols())
        SetLeftCol(std::min(place.nLeftCol, GetColCount()), GX_INVALIDATE);
    if (place.nRow == 0)
        return;
    ROWCOL nRow = std::min(place.nRow, GetRowCount());
    if (place.pPage != nullptr)
        FindRowOfPage(nullptr, place.pPage, nRow);
    ROWCOL nCol = std::min(place.nCol, GetColCount());
    for (ROWCOL nAt = 1; nAt <= GetColCount(); ++nAt)
        if (GetStoredCellValue(0, nAt) == place.strColumn)
            nCol = nAt;
    SetCurrentCell(nRow, nCol, GX_INVALIDATE | GX_SCROLLINVIEW);
}

void CGroupView::NoteColumnWidths()
{
    for (ROWCOL nCol = 1; nCol <= GetColCount(); ++nCol) {
        const CString strHeader = GetStoredCellValue(0, nCol);
        const int nWidth = CGridViewWrapper::GetColWidth(nCol);
        if (!strHeader.IsEmpty() && nWidth > 0)
            m_userLayout.SetWidth(strHeader, nWidth);
    }
}

void CGroupView::ApplyUserWidths()
{
    for (ROWCOL nCol = 1; nCol <= GetColCount(); ++nCol) {
        const std::optional<int> nWidth = m_userLayout.GetWidth(GetStoredCellValue(0, nCol));
        if (nWidth && *nWidth != CGridViewWrapper::GetColWidth(nCol))
            SetColWidth(nCol, nCol, *nWidth, nullptr, 0, gxDo);
    }
}

void CGroupView::LoadPages(CSelNodesCol& pages)
{
    // Text typed in the frame's edit field or in the current cell belongs to a row of the old
    // list: it goes into that row's page first.
    FinishCellEdit();
    SetFieldCell(0, 0);
    std::optional<ScopedCount> loading(std::in_place, m_nLoading);
    {
        UndoOff undoOff(*this);
        // The old rows' undo steps would write into the wrong pages now: they are kept over a
        // copy of those rows, taken while the columns are still theirs, and what a page held
        // before its first edit stays known. A tag whose setting went meanwhile (deleted or
        // renamed in Metatag Settings) is no step's to write any more.
        KeepHistoryOverReload();
        ForgetTagsWithoutSetting();
        CVostrelApp* pApp = GetVostrelApp();
        CProjectSettings* pSettings = nullptr;
        const BOOL bProject = pApp != nullptr && pApp->GetProjectSettings(pSettings) == 0;
        m_bShowTitle = bProject && pSettings->m_bShowTitle;
        CMetaSettingList* pList = Catalogue();

        // The columns are laid out afresh below, when there are pages to show: those waiting
        // for their batch among them, as their settings are shown now.
        m_settingColumns.Reset(FirstSettingColumn());
        m_pendingColumns.clear();
        StopColumnBatch();
        // The widths the columns have now, the user's among them, come back with the columns.
        NoteColumnWidths();
        // The current cell goes with its control: an editor left shown and bound to a cell of
        // the old list would keep its window where that cell was, and blank the new cell.
        DropCurrentCell();
        ClearSelection(FALSE);

        SetRowCount(1, 0);
        ClearRange(CGXRange().SetRows(1, 1), TRUE);
        const ROWCOL nShown = pList != nullptr ? static_cast<ROWCOL>(pList->GetShownCount()) : 0;
        SetColCount(nShown + 1 + (m_bShowTitle ? 1 : 0), 0);
        const ROWCOL nRows = static_cast<ROWCOL>(pages.GetCount());
        SetRowCount(nRows, 0);
        if (nRows == 0 && pList != nullptr) {
            // Without pages the columns are still headed by their settings' names (and the
            // title's), not left for the grid to letter; naming them adds no row.
            SetUpColumns(*pList);
            SetRowCount(0, 0);
            WidenFileColumns();
            ApplyUserWidths();
        }
        if (nRows > 0 && pList != nullptr) {
            SetUpColumns(*pList);
            WidenFileColumns();
            ApplyUserWidths();
            SetFrozenCols(bProject && pSettings->m_bFreezeFileColumn ? 1 : 0, 0, 0, gxDo);

            for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
                CMetaSetting* pSetting = pList->GetNext(pos);
                UINT bShow = 0;
                pSetting->GetShow(bShow);
                if (!bShow)
                    continue;
                if (pSetting->SetupValueCell(static_cast<IGroupView*>(this), nRows) != 0) {
                    ROWCOL nCol = 0;
                    pSetting->GetColumn(nCol);
                    CGridViewWrapper::SetEditCell(1, nCol, nRows, nCol);
                }
            }
            // Each row's file cell shows the page as not scanned yet and carries the page: that
            // is how a row finds its page. The rows are new and empty, so the style is stored
            // as it is, in one pass.
            CGXStyle file;
            file.SetControl(IDS_NOT_SCANNED_CELL);
            file.SetInterior(kInteriorColor);
            CGXData* pData = GetData();
            ROWCOL nRow = 1;
            for (POSITION pos = pages.GetHeadPosition(); pos != nullptr && pData != nullptr; ++nRow) {
                CGXStyle item(file);
                item.SetItemDataPtr(pages.GetNext(pos));
                pData->StoreStyle(nRow, kFileColumn, &item, gxOverride, 0);
            }
            ApplyUserSort();
        }
    }
    Redraw(GX_INVALIDATE, FALSE);
    loading.reset();
    // The first page's file is where the keys start, shown as soon as the pages are: the
    // first arrow key then moves from a cell the user sees.
    if (GetRowCount() >= 1 && GetColCount() >= kFileColumn)
        SetCurrentCell(1, kFileColumn, GX_INVALIDATE | GX_SCROLLINVIEW);
}

void CGroupView::RowsInShownOrder(const CSelNodesCol& pages, CSelNodesCol& ordered)
{
    std::set<CPageNode*> listed;
    for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;)
        listed.insert(pages.GetNext(pos));
    std::set<CPageNode*> placed;
    for (ROWCOL nRow = 1; nRow <= GetRowCount(); ++nRow) {
        CPageNode* pPage = nullptr;
        if (GetRowPage(nRow, pPage) == 0 && listed.count(pPage) != 0 && placed.insert(pPage).second)
            ordered.AddTail(pPage);
    }
    for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;) {
        CPageNode* pPage = pages.GetNext(pos);
        if (placed.insert(pPage).second)
            ordered.AddTail(pPage);
    }
    ordered.SetCurrentFolder(pages.GetCurrentFolder());
}

void CGroupView::DetachPages()
{
    CGXData* pData = GetData();
    if (pData == nullptr)
        return;
    const ROWCOL nRows = GetRowCount();
    for (ROWCOL nRow = 1; nRow <= nRows; ++nRow) {
        CGXStyle item;
        item.SetItemDataPtr(nullptr);
        pData->StoreStyle(nRow, kFileColumn, &item, gxOverride, 0);
    }
    EmptyUndoLists();
    m_originals.clear();
    // The pages are about to go: refusals still to be told would name pages no longer there.
    TakeRefusedEditsText();
    Redraw(GX_INVALIDATE, FALSE);
}

UINT CGroupView::GetRowPage(ROWCOL nRow, CPageNode*& pPage)
{
    pPage = nullptr;
    CGXData* pData = GetData();
    if (pData == nullptr || nRow == 0 || nRow > GetRowCount())
        return 1;
    const CGXStyle* pStored = pData->LookupStyle(nRow, kFileColumn);
    if (pStored == nullptr || !pStored->GetInclude(GX_INCL_ITEMDATAPTR) || pStored->GetItemDataPtr() == nullptr)
        return 1;
    pPage = static_cast<CPageNode*>(pStored->GetItemDataPtr());
    return 0;
}

UINT CGroupView::FindRowOfPage(const CGXRangeList* pRanges, CPageNode* pPage, ROWCOL& nRow)
{
    nRow = 0;
    if (pPage == nullptr)
        return 1;
    if (m_pGroupWork != nullptr)
        return FindGroupRow(pPage, nRow) ? 0 : 1;
    const ROWCOL nRows = GetRowCount();
    auto search = [&](ROWCOL nFrom, ROWCOL nTo) {
        for (ROWCOL r = nFrom; r <= nTo && r <= nRows; ++r) {
            CPageNode* pRowPage = nullptr;
            if (GetRowPage(r, pRowPage) == 0 && pRowPage == pPage) {
                nRow = r;
                return true;
            }
        }
        return false;
    };
    if (pRanges == nullptr)
        return search(1, nRows) ? 0 : 1;
    for (POSITION pos = pRanges->GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = pRanges->GetNextRange(pos);
        const BOOL bAllRows = pRange->IsCols() || pRange->IsTable();
        if (search(bAllRows ? 1 : std::max<ROWCOL>(1, pRange->top), bAllRows ? nRows : pRange->bottom))
            return 0;
    }
    return 1;
}

UINT CGroupView::RefreshPageRow(CPageNode* pPage)
{
    if (pPage == nullptr || GetSafeHwnd() == nullptr)
        return 1;
    // Only the rows on screen are looked at: a row scrolled into view later draws itself then.
    const ROWCOL nTop = std::max<ROWCOL>(1, GetTopRow());
    const ROWCOL nLast = GetLastRow();
    for (ROWCOL nRow = nTop; nRow <= nLast; ++nRow) {
        CPageNode* pRowPage = nullptr;
        if (GetRowPage(nRow, pRowPage) == 0 && pRowPage == pPage) {
            RedrawRow(nRow);
            return 0;
        }
    }
    return 1;
}

void CGroupView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    switch (lHint) {
    case 0:
        // The platform's initial update also sends hint 0: that one loads nothing. The scan is
        // started by the frame's command, never by a rebuild.
        if (m_nLoading == 0 && GetColCount() > 0) {
            // Start Scan reads the selected pages again in place of what the edits made of
            // them: their history ends here, that of the other pages goes on. The grid shows
            // the same place afterwards, the current cell on its page, as after a sort.
            if (CVostrelApp* pApp = GetVostrelApp()) {
                const Place place = CurrentPlace();
                ForgetEditsOf(pApp->GetSelectedNodes());
                LoadPages(pApp->GetSelectedNodes());
                ReturnToPlace(place);
            }
        }
        break;
    case 1:
        RefreshPageRow(reinterpret_cast<CPageNode*>(pHint));
        break;
    case 2: {
        auto* pSetting = reinterpret_cast<CMetaSetting*>(pHint);
        CMetaSettingList* pList = Catalogue();
        if (pSetting != nullptr && pList != nullptr)
            QueueSettingColumn(*pList, pSetting);
        break;
    }
    case 3: {
        auto* pPages = reinterpret_cast<CSelNodesCol*>(pHint);
        if (pPages == nullptr)
            break;
        CWaitCursor wait;
        // The rows come back in the order the user put them in; the columns as the settings
        // say, each where and as wide as the user left it.
        CSelNodesCol ordered;
        RowsInShownOrder(*pPages, ordered);
        const Place place = CurrentPlace();
        LoadPages(ordered);
        for (POSITION pos = pPages->GetHeadPosition(); pos != nullptr;)
            RefreshPageRow(pPages->GetNext(pos));
        ReturnToPlace(place);
        break;
    }
    default:
        CGridViewWrapper::OnUpdate(pSender, lHint, pHint);
        break;
    }
}

// ---- Reading cells ----

CMetaSetting* CGroupView::GetColumnSetting(ROWCOL nCol)
{
    if (nCol <= kFileColumn || IsTitleColumn(nCol) || nCol > GetColCount())
        return nullptr;
    CMetaSettingList* pList = Catalogue();
    if (pList == nullptr)
        return nullptr;
    CMetaSetting* pSetting = nullptr;
    const CString strHeader = GetStoredCellValue(0, nCol);
    // Every cell drawn asks: a walk through a catalogue of thousands for each would make a scan
    // that adds columns crawl.
    if (TrustsColumnRecord()) {
        if (CMetaSetting* pRecorded = m_settingColumns.Find(nCol, strHeader))
            return pRecorded;
    }
    return pList->FindByName(strHeader, pSetting) == 0 ? pSetting : nullptr;
}

UINT CGroupView::GetPageValue(ROWCOL nRow, ROWCOL nCol, CString& strText)
{
    strText.Empty();
    CPageNode* pPage = nullptr;
    if (nRow == 0 || nCol == 0 || GetRowPage(nRow, pPage) != 0)
        return 1;
    if (nCol == kFileColumn) {
        if (m_bFullPath)
            pPage->GetFullPath(strText);
        else
            strText = pPage->GetName();
        return 0;
    }
    // A page the last scan did not read whole, or could not read, shows none of its values:
    // its empty cells say so, and every command that reads the cells (find, replace, copy,
    // sort) counts what the row shows. Meanwhile its values are not touched here: a worker may
    // be filing them.
    if (!pPage->IsRead())
        return 0;
    if (IsTitleColumn(nCol))
        return pPage->GetTitle(strText);
    CMetaContentList* pList = nullptr;
    CMetaContent* pContent = nullptr;
    if (pPage->GetContentList(pList) == 0 && pList->FindByName(GetStoredCellValue(0, nCol), pContent) == 0)
        strText = pContent->GetContent();
    return 0;
}

void CGroupView::SetFileCellKind(ROWCOL, CGXStyle& style, CPageNode* pPage)
{
    CMetaContentList* pList = nullptr;
    // The scan state first: why a page could not be read is there to read once its scan has
    // ended.
    if (pPage->GetScanState() != 0) {
        // Not read by the last scan (one stopped before it came to the page): its empty cells
        // say nothing about its tags.
        style.SetControl(IDS_NOT_SCANNED_CELL);
        style.SetTextColor(kNotScannedTextColor);
    } else if (!pPage->GetReadFailure().IsEmpty()) {
        // Without this the page would look like one without tags, and the user would learn of
        // it only when a save failed.
        style.SetControl(IDS_UNREADABLE_CELL);
        style.SetTextColor(kNotScannedTextColor);
        style.SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, pPage->GetReadFailure());
    } else if (pPage->GetEditState() == 2) {
        style.SetControl(IDS_DIRTY_CELL);
        style.SetTextColor(kDirtyTextColor);
    } else if (pPage->GetContentList(pList) == 0) {
        style.SetControl(IDS_SCANNED_CELL);
        style.SetTextColor(0);
    } else {
        style.SetTextColor(kNotScannedTextColor);
    }
}

void CGroupView::ApplyPageValues(ROWCOL nRow, ROWCOL nCol, CGXStyle& style)
{
    if (nRow == 0 || nCol == 0)
        return;
    if (nRow == m_nFieldRow && nCol == m_nFieldCol)
        return;
    CPageNode* pPage = nullptr;
    if (GetRowPage(nRow, pPage) != 0)
        return;
    CString strText;
    GetPageValue(nRow, nCol, strText);
    if (nCol == kFileColumn) {
        SetFileCellKind(nRow, style, pPage);
        style.SetValue(strText);
        return;
    }
    if (!IsTitleColumn(nCol)) {
        // The setting may put the text into the cell in its own form (1: it leaves it to us).
        if (CMetaSetting* pSetting = GetColumnSetting(nCol)) {
            class CellStyle : public IMetaCellStyle {
            public:
                explicit CellStyle(CGXStyle& style) : m_style(style) {}
                void SetValue(const CString& strValue) override { m_style.SetValue(strValue); }
                CGXStyle& m_style;
            } cell(style);
            if (pSetting->TextToCellValue(this, cell, nRow, nCol, strText) != 1)
                return;
        }
    }
    style.SetValue(strText);
}

BOOL CGroupView::ReadCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int nModify, int nType)
{
    const BOOL bRead = CGridViewWrapper::ReadCellStyle(nRow, nCol, style, nModify, nType);
    if (nType != 0)
        return bRead;
    if (nRow > 0 && nCol > 0 && ShowsHighlight(nRow, nCol)) {
        style.SetInterior(::GetSysColor(COLOR_HIGHLIGHT));
        style.SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    ApplyPageValues(nRow, nCol, style);
    return TRUE;
}

void CGroupView::ComposeCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bApplyStandard)
{
    CGridViewWrapper::ComposeCellStyle(nRow, nCol, style, bApplyStandard);
    if (nRow == 0 || nCol == 0)
        return;
    // A cell being edited shows its editor in the cell's own colours, so that the text chosen
    // in the editor shows chosen and the rest, or a lone caret, does not.
    CGXControl* pControl = style.GetInclude(GX_INCL_CONTROL) ? GetControlById(style.GetControl()) : nullptr;
    const BOOL bEdited = pControl != nullptr && pControl->IsInitFor(nRow, nCol) && pControl->IsActive();
    const BOOL bSelected = !bEdited && ShowsHighlight(nRow, nCol);
    if (bSelected) {
        style.SetInterior(::GetSysColor(COLOR_HIGHLIGHT));
        style.SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    ApplyPageValues(nRow, nCol, style);
    if (bSelected)
        style.SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
}

BOOL CGroupView::ShowsHighlight(ROWCOL nRow, ROWCOL nCol)
{
    return !m_bCutRunning && !IsPrinting() && GetParam() != nullptr && IsCellInRangeList(nRow, nCol, GetParam()->m_SelRects);
}

void CGroupView::DrawSelectedCell(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect)
{
    // The current cell keeps its frame; the others show the highlight their style gives them.
    if (IsCurrentCell(nRow, nCol))
        CGridViewWrapper::DrawSelectedCell(pDC, nRow, nCol, rect);
}

BOOL CGroupView::HoldsKeys() const
{
    const HWND hGrid = GetSafeHwnd();
    const HWND hFocus = ::GetFocus();
    return hGrid != nullptr && hFocus != nullptr && (hFocus == hGrid || ::IsChild(hGrid, hFocus));
}

void CGroupView::DrawCurrentCellFrame(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect)
{
    if (pDC == nullptr || pDC->IsPrinting() || HoldsKeys()) {
        CGridViewWrapper::DrawCurrentCellFrame(pDC, nRow, nCol, rect);
        return;
    }
    // Without the keys the current cell keeps a thin grey frame, apart from the thick one of
    // the keys: the user sees where the keys come back to, and that they are elsewhere now.
    CRect mark = rect;
    mark.DeflateRect(1, 1);
    ::FrameRect(pDC->GetSafeHdc(), &mark, ::GetSysColorBrush(COLOR_BTNSHADOW));
}

BOOL CGroupView::HandleSetFocus(CWnd* pOldWnd)
{
    const BOOL bResult = CGridViewWrapper::HandleSetFocus(pOldWnd);
    RedrawCurrentCellFrame();
    return bResult;
}

BOOL CGroupView::HandleKillFocus(CWnd* pNewWnd)
{
    const BOOL bResult = CGridViewWrapper::HandleKillFocus(pNewWnd);
    RedrawCurrentCellFrame();
    return bResult;
}

void CGroupView::RedrawCurrentCellFrame()
{
    ROWCOL nRow = 0, nCol = 0;
    if (GetSafeHwnd() != nullptr && GetCurrentCell(nRow, nCol))
        RedrawRange(CGXRange(nRow, nCol, nRow, nCol), GX_INVALIDATE, FALSE);
}

// ---- Writing cells ----

void CGroupView::RememberOriginal(CPageNode* pPage, const CString& strKey, BOOL bTitle)
{
    const auto key = std::make_pair(pPage, bTitle ? std::string() : CUserGridLayout::Key(strKey));
    if (m_originals.count(key) != 0)
        return;
    Original original;
    if (bTitle) {
        original.bExisted = TRUE;
        pPage->GetTitle(original.strText);
        original.bModified = pPage->GetTitleModified();
    } else {
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        if (pPage->GetContentList(pList) == 0 && pList->FindByName(strKey, pContent) == 0) {
            original.bExisted = TRUE;
            original.strText = pContent->GetContent();
            original.bModified = pContent->GetModified();
        }
    }
    m_originals.emplace(key, original);
}

UINT CGroupView::SetPageValue(ROWCOL nRow, ROWCOL nCol, const CString& strText, PageWrite how)
{
    CPageNode* pPage = nullptr;
    if (nRow == 0 || nCol <= kFileColumn || nCol > GetColCount() || GetRowPage(nRow, pPage) != 0)
        return 1;
    const BOOL bTitle = IsTitleColumn(nCol);
    const CString strName = bTitle ? CString() : GetStoredCellValue(0, nCol);
    if (!bTitle && strName.IsEmpty())
        return 1;
    return WritePageValue(pPage, strName, bTitle, strText, how);
}

UINT CGroupView::WritePageValue(CPageNode* pPage, const CString& strName, BOOL bTitle, const CString& strText,
                                PageWrite how)
{
    // A page is edited only by a change of a value: the same text again (an editor left with
    // its text only selected, a paste of what the cell holds) leaves the page and its mark as
    // they are, so that a save has no reason to rewrite it. A setting's dialog changed the page
    // itself before it writes here; the view compared that value already.
    if (how == PageWrite::Edit && m_nPrimedBySetting == 0 && PageHolds(pPage, strName, bTitle, strText))
        return 0;
    // Whatever command it comes from (a fill, a paste, a replace, a cut), a page that shows
    // nothing of its file takes no value. An undo or redo over such a page gives back what it
    // holds already, and is left unsaid.
    if (how != PageWrite::Load && !pPage->IsRead()) {
        if (how == PageWrite::Edit)
            NoteRefusedEdit(pPage);
        return 1;
    }
    if (how == PageWrite::Edit)
        RememberOriginal(pPage, strName, bTitle);

    // A value that lands on what the page held before its first edit, by undo, redo or typing
    // it again, gives it back its old mark too (and takes away a tag the edit made); any other
    // value is an edit.
    const Original* pOriginal = nullptr;
    if (how != PageWrite::Load) {
        const auto it = m_originals.find(std::make_pair(pPage, bTitle ? std::string() : CUserGridLayout::Key(strName)));
        if (it != m_originals.end())
            pOriginal = &it->second;
    }
    const BOOL bBackToOriginal = pOriginal != nullptr && pOriginal->strText == strText;
    UINT bMark = how == PageWrite::Edit ? 1 : 0;
    if (pOriginal != nullptr)
        bMark = bBackToOriginal ? pOriginal->bModified : 1;

    if (bTitle) {
        pPage->SetTitle(strText);
        if (how == PageWrite::Edit || pOriginal != nullptr)
            pPage->SetTitleModified(bMark);
        return 0;
    }
    CMetaContentList* pList = nullptr;
    CMetaContent* pContent = nullptr;
    const BOOL bHasList = pPage->GetContentList(pList) == 0;
    const BOOL bFound = bHasList && pList->FindByName(strName, pContent) == 0;
    if (bBackToOriginal && !pOriginal->bExisted) {
        if (bFound)
            if (POSITION pos = pList->Find(pContent)) {
                pList->RemoveAt(pos);
                delete pContent;
            }
        return 0;
    }
    // An unmarked empty value (a row being loaded) makes no tag.
    if (!bFound && how == PageWrite::Load && strText.IsEmpty())
        return 0;
    if (!bHasList)
        pPage->CreateContentList(pList);
    if (bFound) {
        pContent->SetContent(strText);
        if (how == PageWrite::Edit || pOriginal != nullptr)
            pContent->SetModified(bMark);
    } else {
        pList->AddContent(strName, strText, bMark, pContent);
    }
    // The way taken in the Preview for this value comes back with it.
    if (pOriginal != nullptr && pContent != nullptr && pContent->GetModified())
        if (const auto way = pOriginal->ways.find(std::string(strText.GetString())); way != pOriginal->ways.end())
            pContent->SetCharsetWay(way->second);
    return 0;
}

void CGroupView::TakeCharsetWay(CPageNode* pPage, CMetaContent& content, const CharsetWay& way)
{
    content.SetCharsetWay(way);
    const auto it = m_originals.find(std::make_pair(pPage, CUserGridLayout::Key(content.GetName())));
    if (it != m_originals.end())
        it->second.ways[std::string(content.GetContent().GetString())] = way;
}

BOOL CGroupView::RowTakesEdits(ROWCOL nRow)
{
    CPageNode* pPage = nullptr;
    return GetRowPage(nRow, pPage) != 0 || pPage->IsRead();
}

BOOL CGroupView::RefuseEditOfRow(ROWCOL nRow)
{
    if (RowTakesEdits(nRow))
        return FALSE;
    CPageNode* pPage = nullptr;
    GetRowPage(nRow, pPage);
    NoteRefusedEdit(pPage);
    return TRUE;
}

void CGroupView::NoteRefusedEdit(CPageNode* pPage)
{
    if (pPage == nullptr)
        return;
    if (!pPage->GetReadFailure().IsEmpty()) {
        if (m_refused.unreadable.insert(pPage).second && m_refused.pFirstUnreadable == nullptr)
            m_refused.pFirstUnreadable = pPage;
    } else if (m_refused.notRead.insert(pPage).second && m_refused.pFirstNotRead == nullptr) {
        m_refused.pFirstNotRead = pPage;
    }
    // Told once the command is over, with the refusals of all of its cells.
    if (!m_refused.bTellPosted && GetSafeHwnd() != nullptr && PostMessage(kMsgTellRefusedEdits))
        m_refused.bTellPosted = TRUE;
}

CString CGroupView::TakeRefusedEditsText()
{
    CString strText;
    if (const size_t nNotRead = m_refused.notRead.size(); nNotRead == 1)
        strText.Format(m_refused.pFirstNotRead->IsLeftUnread() ? IDS_LEFT_UNREAD_ONE : IDS_NOT_READ_ONE,
                       m_refused.pFirstNotRead->GetSitePath().GetString());
    else if (nNotRead > 1)
        strText.Format(IDS_NOT_READ_MANY, static_cast<UINT>(nNotRead));
    CString strUnreadable;
    if (const CPageNode* pFirst = m_refused.pFirstUnreadable; m_refused.unreadable.size() == 1)
        strUnreadable.Format(IDS_UNREADABLE_ONE, pFirst->GetSitePath().GetString(), pFirst->GetReadFailure().GetString());
    else if (m_refused.unreadable.size() > 1)
        strUnreadable.Format(IDS_UNREADABLE_MANY, static_cast<UINT>(m_refused.unreadable.size()),
                             pFirst->GetSitePath().GetString(), pFirst->GetReadFailure().GetString());
    if (!strUnreadable.IsEmpty())
        strText += (strText.IsEmpty() ? "" : " ") + strUnreadable;
    const BOOL bPosted = m_refused.bTellPosted;
    m_refused = RefusedEdits();
    m_refused.bTellPosted = bPosted;
    return strText;
}

BOOL CGroupView::TellRefusedEdits()
{
    const CString strText = TakeRefusedEditsText();
    if (strText.IsEmpty())
        return FALSE;
    SayInStatusBar(strText);
    return TRUE;
}

LRESULT CGroupView::OnTellRefusedEdits(WPARAM, LPARAM)
{
    m_refused.bTellPosted = FALSE;
    TellRefusedEdits();
    return 0;
}

BOOL CGroupView::PageHolds(CPageNode* pPage, const CString& strName, BOOL bTitle, const CString& strText)
{
    if (bTitle)
        return pPage->GetTitle() == strText;
    CMetaContentList* pList = nullptr;
    CMetaContent* pContent = nullptr;
    if (pPage->GetContentList(pList) != 0 || pList->FindByName(strName, pContent) != 0)
        return strText.IsEmpty();
    return pContent->GetContent() == strText;
}

void CGroupView::UpdateEditState(const CPageNode* pWritten)
{
    CVostrelApp* pApp = GetVostrelApp();
    if (pApp == nullptr)
        return;
    if (pWritten != nullptr && pWritten->GetEditState() == 2) {
        pApp->SetEditState(1);
        return;
    }
    // A command that writes many cells settles it once, at its end.
    if (m_nWritingMany > 0)
        return;
    pApp->SetEditState(pApp->GetPageNodes().HasEdits() == 2 ? 1 : 0);
}

BOOL CGroupView::ReplaceAll(LPCTSTR pszFind, LPCTSTR pszReplace, BOOL bCase)
{
    // Cells change from the first moment, long before the meter shows: the status bar says
    // from the start what runs, not "Ready" or the last work's "Done.".
    const CString strReplacing = GetAppData()->GetText(gxTextReplacing);
    TellWorkStarts(strReplacing);
    const BOOL bDone = WriteMany([&] { return CGridViewWrapper::ReplaceAll(pszFind, pszReplace, bCase); });
    EndWorkSaid(strReplacing);
    return bDone;
}

BOOL CGroupView::Undo()
{
    return ReplayInSight(gxUndo);
}

BOOL CGroupView::Redo()
{
    return ReplayInSight(gxRedo);
}

template <class Take>
void CGroupView::ForEachUnlikeCell(const CGXRange& range, Take take)
{
    CGXData* pData = GetData();
    if (pData == nullptr)
        return;
    CGXRange cells = RangeAsCells(range);
    cells.bottom = std::min(cells.bottom, GetRowCount());
    cells.right = std::min(cells.right, GetColCount());
    for (ROWCOL r = std::max<ROWCOL>(1, cells.top); r <= cells.bottom; ++r)
        for (ROWCOL c = std::max<ROWCOL>(kFileColumn + 1, cells.left); c <= cells.right; ++c) {
            CString strPage;
            if (GetPageValue(r, c, strPage) != 0)
                continue;
            const CGXStyle* pStored = pData->LookupStyle(r, c);
            const BOOL bValue = pStored != nullptr && pStored->GetInclude(GX_INCL_VALUE);
            if (!bValue || pStored->GetValue() != strPage)
                take(r, c, strPage, bValue ? pStored : nullptr);
        }
}

void CGroupView::PrimeStoredValues(const CGXRange& range)
{
    ForEachUnlikeCell(range, [this](ROWCOL r, ROWCOL c, const CString& strPage, const CGXStyle*) {
        CGXStyle value;
        value.SetValue(strPage);
        GetData()->StoreStyle(r, c, &value, gxOverride, 0);
    });
}

void CGroupView::TakeStoredValues(const CGXRange& range, PageWrite how)
{
    BOOL bWritten = FALSE;
    ForEachUnlikeCell(range, [&](ROWCOL r, ROWCOL c, const CString&, const CGXStyle* pStored) {
        if (pStored == nullptr)
            return;
        const CString strValue = pStored->GetValue();
        if (SetPageValue(r, c, strValue, how) == 0) {
            bWritten = TRUE;
            RedrawRow(r);
        }
    });
    if (bWritten)
        UpdateEditState();
}

BOOL CGroupView::ApplyStyleToRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType,
                                   const CObArray* pCellsArray, UINT nFlags, int nMode)
{
    // An edit that ended the history has given its pages their values once the outermost
    // store is done: what they held before their first edit goes then, those it remembered
    // on the way among them.
    ++m_nApplyDepth;
    struct Leave {
        CGroupView& view;
        ~Leave()
        {
            if (--view.m_nApplyDepth == 0 && view.m_bHistoryEnded) {
                view.m_bHistoryEnded = FALSE;
                view.m_originals.clear();
            }
        }
    } leave{*this};
    // A file cell's style carries the row's page: removing it (Cut, Ctrl+Delete over a range
    // that takes in the file column) would leave a row that no longer knows its page, and
    // pasting copied cells over it would give the row another row's page, or none.
    const BOOL bRemoval = nModify == gxRemove && pCellsArray == nullptr;
    const BOOL bCellsPasted = pCellsArray != nullptr && nMode == gxDo;
    if (nType == 0 && (bRemoval || bCellsPasted) && m_nLoading == 0 && range.IsValid()) {
        const CGXRange cells = RangeAsCells(range);
        if (cells.left <= kFileColumn && cells.right >= kFileColumn && cells.bottom >= 1) {
            if (cells.right == kFileColumn)
                return TRUE;
            CGXRange others = cells;
            others.left = kFileColumn + 1;
            if (pCellsArray == nullptr)
                return ApplyStyleToRange(others, pStyle, nModify, nType, nullptr, nFlags, nMode);
            // The pasted styles of the other cells, in the same row-major order.
            CObArray otherStyles;
            INT_PTR i = 0;
            for (ROWCOL r = cells.top; r <= cells.bottom; ++r)
                for (ROWCOL c = cells.left; c <= cells.right; ++c, ++i)
                    if (c > kFileColumn)
                        otherStyles.Add(i < pCellsArray->GetSize() ? pCellsArray->GetAt(i) : nullptr);
            return ApplyStyleToRange(others, pStyle, nModify, nType, &otherStyles, nFlags, nMode);
        }
    }
    // Cells pasted whole would bring their own kind of cell along: a Description's plain edit
    // in the Keywords column no longer opens its dialog, a list's choices land in a date
    // column. Each cell keeps its column's kind and takes the pasted value alone, as typing it
    // would give it; a cell that brings no value pastes an empty one.
    if (nType == 0 && bCellsPasted && nModify == gxCopy && m_nLoading == 0) {
        CGXStyleArray values;
        values.SetSize(pCellsArray->GetSize());
        for (INT_PTR i = 0; i < pCellsArray->GetSize(); ++i) {
            const auto* pPasted = dynamic_cast<const CGXStyle*>(pCellsArray->GetAt(i));
            auto pValue = std::make_unique<CGXStyle>();
            pValue->SetValue(pPasted != nullptr && pPasted->GetInclude(GX_INCL_VALUE) ? pPasted->GetValue() : CString());
            values.SetAt(i, pValue.release());
        }
        return ApplyStyleToRange(range, pStyle, gxOverride, nType, &values, nFlags, nMode);
    }
    const BOOL bValues = nType == 0 && (pCellsArray != nullptr ||
                                        (pStyle != nullptr && pStyle->GetInclude(GX_INCL_VALUE) && nModify != gxRemove));
    if (!bValues || m_nLoading > 0)
        return CGridViewWrapper::ApplyStyleToRange(range, pStyle, nModify, nType, pCellsArray, nFlags, nMode);
    // A paste of copied cells stores one style per cell: its cells need their pages' values
    // first as much as a single style's do, or the undo it records holds no value to give back.
    if (nMode == gxDo && m_nPrimedBySetting == 0)
        PrimeStoredValues(range);
    BOOL bDone = FALSE;
    const DWORD nStops = CGXLongOperation::GetStopCount();
    {
        ScopedCount applying(m_nApplying);
        const CObject* pOldHead = NewestStep();
        bDone = CGridViewWrapper::ApplyStyleToRange(range, pStyle, nModify, nType, pCellsArray, nFlags, nMode);
        if (nMode == gxDo)
            NameNewStep(pOldHead, range);
    }
    if (m_nWritingPage > 0)
        return bDone;
    // The values reach the pages as edits, except when an undo, a redo or the rollback of a
    // stopped command puts back what was there.
    const PageWrite how =
        (nMode == gxUndo || nMode == gxRedo || nMode == gxRollback || m_nUndoing > 0) ? PageWrite::Restore : PageWrite::Edit;
    if (!bDone) {
        // A store the user stopped keeps the cells it reached: a page left with its old value
        // would be saved with what its cell no longer shows.
        if (CGXLongOperation::GetStopCount() != nStops)
            TakeStoredValues(range, how);
        return bDone;
    }
    CGXRange cells = RangeAsCells(range);
    cells.bottom = std::min(cells.bottom, GetRowCount());
    cells.right = std::min(cells.right, GetColCount());
    INT_PTR i = 0;
    BOOL bEdited = FALSE;
    // Writing many pages takes its share of the time: the meter goes on counting through it,
    // and the window keeps painting.
    CGXLongOperation op;
    const unsigned long long nCells = cells.bottom >= cells.top && cells.right >= cells.left
                                          ? static_cast<unsigned long long>(cells.bottom - cells.top + 1) * (cells.right - cells.left + 1)
                                          : 0;
    for (ROWCOL r = cells.top; r <= cells.bottom; ++r)
        for (ROWCOL c = cells.left; c <= cells.right; ++c, ++i) {
            if ((i & 0xFF) == 0xFF) {
                CGXLongOperation::SetPercentDone(static_cast<int>(static_cast<unsigned long long>(i) * 100 / nCells));
                op.DoMessages();
            }
            const CGXStyle* p = pStyle;
            if (pCellsArray != nullptr)
                p = i < pCellsArray->GetSize() ? dynamic_cast<const CGXStyle*>(pCellsArray->GetAt(i)) : nullptr;
            if (p == nullptr || !p->GetInclude(GX_INCL_VALUE) || r == 0 || c <= kFileColumn)
                continue;
            if (SetPageValue(r, c, p->GetValue(), how) == 0) {
                bEdited = TRUE;
                RedrawRow(r);
            }
        }
    if (bEdited)
        UpdateEditState();
    return bDone;
}

BOOL CGroupView::StoreCellStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nModify, int nType)
{
    const BOOL bStored = CGridViewWrapper::StoreCellStyle(nRow, nCol, pStyle, nModify, nType);
    // Inside a range store the range writes the pages once it is done.
    if (m_nApplying > 0 || m_nWritingPage > 0 || nType != 0 || pStyle == nullptr || nModify == gxRemove ||
        !pStyle->GetInclude(GX_INCL_VALUE) || nRow == 0 || nCol <= kFileColumn)
        return bStored;
    // Paste, replace and the like store through here: the page is marked edited like any other
    // edit, or Save would skip it and its value would be lost.
    const PageWrite how = m_nLoading > 0 ? PageWrite::Load : m_nUndoing > 0 ? PageWrite::Restore : PageWrite::Edit;
    if (SetPageValue(nRow, nCol, pStyle->GetValue(), how) == 0 && how != PageWrite::Load) {
        CPageNode* pPage = nullptr;
        GetRowPage(nRow, pPage);
        UpdateEditState(pPage);
        RedrawRow(nRow);
    }
    return bStored;
}

UINT CGroupView::SetCellValue(ROWCOL nRow, ROWCOL nCol, const CString& strText)
{
    if (nRow == 0 || nCol == 0 || nRow > GetRowCount() || nCol > GetColCount()) {
        ::MessageBeep(1);
        return 1;
    }
    CString strValue(strText);
    if (CGXControl* pControl = GetControl(nRow, nCol); pControl != nullptr && pControl->IsKindOf(RUNTIME_CLASS(CGXRichEditCtrl))) {
        CGXStyle* pComposed = CreateStyle();
        ComposeCellStyle(nRow, nCol, *pComposed);
        pControl->GetControlText(strValue, nRow, nCol, strText, *pComposed);
        RecycleStyle(pComposed);
    }
    if (nCol == kFileColumn) {
        ::MessageBeep(1);
        return 1;
    }
    if (HoldsValue(nRow, nCol, strValue))
        return 0;
    // Refused before the cell takes the text: no step of undo for what did not happen. The
    // refusal's telling beeps.
    if (RefuseEditOfRow(nRow))
        return 1;
    if (m_pGroupWork != nullptr)
        return KeepGroupValue(nRow, nCol, strValue);
    UINT nResult = 1;
    {
        ScopedCount writing(m_nWritingPage);
        // A setting that changed the page before it calls here had the values primed first.
        if (m_nPrimedBySetting == 0)
            PrimeStoredValues(CGXRange(nRow, nCol, nRow, nCol));
        CGXStyle value;
        value.SetValue(strValue);
        const CObject* pOldHead = NewestStep();
        {
            // One cell is not stopped halfway: stopped, its store would leave the cell as it was
            // and the page below written. Esc pressed meanwhile is left to the operation around
            // it (a paste, a replace), which takes back every cell it wrote.
            struct NoCancel {
                BOOL bOld = GXGetLongOperationState().m_bCanCancel;
                NoCancel() { CGXLongOperation::SetCanCancel(FALSE); }
                ~NoCancel() { CGXLongOperation::SetCanCancel(bOld); }
            } noCancel;
            CGridViewWrapper::ApplyStyleToRange(CGXRange(nRow, nCol, nRow, nCol), &value, gxOverride, 0, nullptr, GX_UPDATENOW, gxDo);
        }
        NameNewStep(pOldHead, CGXRange(nRow, nCol, nRow, nCol));
        nResult = SetPageValue(nRow, nCol, strValue, PageWrite::Edit);
    }
    if (nResult != 0) {
        ::MessageBeep(1);
        return 1;
    }
    // A value typed back to what the page held before its first edit leaves no edit.
    CPageNode* pPage = nullptr;
    GetRowPage(nRow, pPage);
    UpdateEditState(pPage);
    if (CGXControl* pControl = GetControl(nRow, nCol); pControl != nullptr && pControl->IsKindOf(RUNTIME_CLASS(CGXHotSpotEdit)) &&
                                                         pControl->IsInitFor(nRow, nCol))
        pControl->SetCurrentText(strValue);
    RedrawRow(nRow);
    return 0;
}

BOOL CGroupView::HoldsValue(ROWCOL nRow, ROWCOL nCol, const CString& strText)
{
    // A setting's dialog changed the page before it writes the cell; the page's value from
    // before it is the cell's stored one.
    if (m_nPrimedBySetting > 0) {
        const CGXData* pData = GetData();
        const CGXStyle* pStored = pData != nullptr ? pData->LookupStyle(nRow, nCol) : nullptr;
        return pStored != nullptr && pStored->GetInclude(GX_INCL_VALUE) && pStored->GetValue() == strText;
    }
    CPageNode* pPage = nullptr;
    if (GetRowPage(nRow, pPage) != 0)
        return FALSE;
    const BOOL bTitle = IsTitleColumn(nCol);
    const CString strName = bTitle ? CString() : GetStoredCellValue(0, nCol);
    return (bTitle || !strName.IsEmpty()) && PageHolds(pPage, strName, bTitle, strText);
}

namespace {

// Counted as the user counts them: a character beyond ASCII is one, whatever its bytes.
size_t CharacterCount(const CString& strText)
{
    size_t nCharacters = 0;
    for (int i = 0; i < strText.GetLength(); ++i)
        nCharacters += (static_cast<unsigned char>(strText[i]) & 0xC0) != 0x80 ? 1 : 0;
    return nCharacters;
}

} // namespace

BOOL CGroupView::IsTooLongToType(ROWCOL nRow, ROWCOL nCol)
{
    const CString& strValue = GetCellValue(nRow, nCol);
    return static_cast<size_t>(strValue.GetLength()) > kMaxTypedValue && CharacterCount(strValue) > kMaxTypedValue;
}

BOOL CGroupView::RefuseTypingOver(ROWCOL nRow, ROWCOL nCol)
{
    if (!IsTooLongToType(nRow, nCol))
        return FALSE;
    CString strText;
    strText.Format(IDS_VALUE_TOO_LONG_TO_TYPE, static_cast<unsigned long long>(kMaxTypedValue),
                   static_cast<unsigned long long>(CharacterCount(GetCellValue(nRow, nCol))));
    SayInStatusBar(strText);
    return TRUE;
}

BOOL CGroupView::OnStartEditing(ROWCOL nRow, ROWCOL nCol)
{
    if (RunState() != CVostrelAppModel::runIdle) {
        SayInStatusBar(IDS_EDIT_WAITS_FOR_SCAN);
        return FALSE;
    }
    // Refused at the first key, not after a whole value was typed.
    if (nCol > kFileColumn && RefuseEditOfRow(nRow)) {
        TellRefusedEdits();
        return FALSE;
    }
    if (RefuseTypingOver(nRow, nCol))
        return FALSE;
    if (!CGridViewWrapper::OnStartEditing(nRow, nCol))
        return FALSE;
    EndSaidInStatusBar();
    return TRUE;
}

BOOL CGroupView::OnValidateCell(ROWCOL nRow, ROWCOL nCol)
{
    CGXControl* pControl = GetControl(nRow, nCol);
    if (pControl != nullptr && pControl->GetModify()) {
        CString strText;
        pControl->GetCurrentText(strText);
        SetCellValue(nRow, nCol, strText);
    }
    return TRUE;
}

// ---- Undo ----

void CGroupView::KeepHistoryOverReload()
{
    CGXGridParam* pParam = GetParam();
    if (pParam == nullptr || (pParam->m_UndoList.IsEmpty() && pParam->m_RedoList.IsEmpty()))
        return;
    // One copy serves every step of these rows; steps kept at an earlier reload keep theirs.
    auto rows = std::make_shared<CEarlierRows>(*this);
    for (CObList* pList : {&pParam->m_UndoList, &pParam->m_RedoList})
        for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
            const POSITION at = pos;
            auto* pStep = static_cast<CGXCommand*>(pList->GetNext(pos));
            if (!pStep->IsKindOf(RUNTIME_CLASS(CEarlierRowsCmd)))
                pList->SetAt(at, new CEarlierRowsCmd(pStep, rows));
        }
}

CString CGroupView::StepName(const CGXCommand& step)
{
    CString strName = step.m_sDescription;
    strName.TrimRight(" .");
    if (strName.IsEmpty()) {
        strName = GetAppData()->GetText(gxTextCells);
        strName.TrimRight(" .");
    }
    return strName;
}

const CObject* CGroupView::NewestStep()
{
    CGXGridParam* pParam = GetParam();
    return pParam == nullptr || pParam->m_UndoList.IsEmpty() ? nullptr : pParam->m_UndoList.GetHead();
}

void CGroupView::NameNewStep(const CObject* pOldHead, const CGXRange& cells)
{
    // Inside a transaction the block is the step, and it has its own name.
    CGXGridParam* pParam = GetParam();
    if (pParam == nullptr || !pParam->m_TransactionBlocks.IsEmpty() || NewestStep() == nullptr || NewestStep() == pOldHead)
        return;
    auto* pStep = static_cast<CGXCommand*>(pParam->m_UndoList.GetHead());
    if (!pStep->m_sDescription.IsEmpty())
        return;
    const CGXRange range = RangeAsCells(cells);
    if (range.left == range.right && range.left > kFileColumn && range.left <= GetColCount())
        pStep->m_sDescription = GetStoredCellValue(0, range.left);
    if (pStep->m_sDescription.IsEmpty())
        pStep->m_sDescription = StepName(*pStep);
}

BOOL CGroupView::ReplayInSight(int nMode)
{
    const BOOL bUndo = nMode == gxUndo;
    const auto replay = [this, bUndo] { return bUndo ? CGridViewWrapper::Undo() : CGridViewWrapper::Redo(); };
    CGXGridParam* pParam = GetParam();
    CObList* pList = pParam == nullptr ? nullptr : bUndo ? &pParam->m_UndoList : &pParam->m_RedoList;
    // Undo All takes every step back at the user's word, wherever its pages are: no folder is
    // loaded for each step.
    if (pList == nullptr || pList->IsEmpty() || !pParam->m_TransactionBlocks.IsEmpty() || m_nUndoing > 0)
        return ReplayKeepingSort(nMode, replay);
    auto* pStep = static_cast<CGXCommand*>(pList->GetHead());
    const CString strName = StepName(*pStep);
    CString strSaid;
    strSaid.FormatMessage(GetAppData()->GetText(bUndo ? gxTextUndoing : gxTextRedoing), strName.GetString());
    // Said while the step runs, another folder loaded first among it, and shown at once: the
    // loading holds the program's loop. Gone once it is done.
    TellWorkStarts(strSaid);
    if (!BringStepInSight(*pStep, nMode) || pList->IsEmpty() || pList->GetHead() != pStep) {
        CString strItem, strFormat, strRefused;
        strItem.FormatMessage(bUndo ? "Undo %1" : "Redo %1", strName.GetString());
        strFormat.LoadString(IDS_STEP_OUT_OF_SIGHT);
        strRefused.Format(strFormat, strItem.GetString());
        SayInStatusBar(strRefused);
        return FALSE;
    }
    const BOOL bDone = ReplayKeepingSort(nMode, replay);
    // Unless the replay's own end took its place: "Stopped: the change was taken back.".
    EndWorkSaid(strSaid);
    return bDone;
}

template <typename Command>
BOOL CGroupView::ReplayKeepingSort(int nMode, Command replay)
{
    CGXGridParam* pParam = GetParam();
    if (pParam == nullptr)
        return WriteMany(replay);
    CObList& from = nMode == gxUndo ? pParam->m_UndoList : pParam->m_RedoList;
    CObList& to = nMode == gxUndo ? pParam->m_RedoList : pParam->m_UndoList;
    const CObject* pStep = from.IsEmpty() ? nullptr : from.GetHead();
    const CObject* pOldHead = to.IsEmpty() ? nullptr : to.GetHead();
    const std::optional<CUserGridLayout::Sort> sortBefore = m_userLayout.GetSort();
    // Taken out before the step goes: the step that reverses it may be made where it was.
    const CObject* pKey = RowOrderKey(pStep);
    std::optional<std::optional<CUserGridLayout::Sort>> sortAfter;
    if (const auto found = m_rowOrderSorts.find(pKey); pKey != nullptr && found != m_rowOrderSorts.end()) {
        sortAfter = found->second;
        m_rowOrderSorts.erase(found);
    }
    const BOOL bDone = WriteMany(replay);
    if (!from.IsEmpty() && from.GetHead() == pStep) {
        // Not replayed (or stopped, and taken back whole): its sort waits.
        if (sortAfter)
            m_rowOrderSorts[pKey] = *sortAfter;
        return bDone;
    }
    if (sortAfter) {
        if (*sortAfter)
            m_userLayout.SetSort((*sortAfter)->strColumn, (*sortAfter)->bAscending);
        else
            m_userLayout.ForgetSort();
    }
    NoteSortOfNewStep(to, pOldHead, sortBefore);
    return bDone;
}

const CObject* CGroupView::RowOrderKey(const CObject* pStep)
{
    if (const auto* pEarlier = dynamic_cast<const CEarlierRowsCmd*>(pStep))
        pStep = pEarlier->GetStep();
    return dynamic_cast<const CGXMoveDataRowsCmd*>(pStep) != nullptr ? pStep : nullptr;
}

void CGroupView::NoteSortOfNewStep(const CObList& list, const CObject* pOldHead, const std::optional<CUserGridLayout::Sort>& sort)
{
    if (list.IsEmpty() || list.GetHead() == pOldHead)
        return;
    if (const CObject* pKey = RowOrderKey(list.GetHead()))
        m_rowOrderSorts[pKey] = sort;
}

BOOL CGroupView::BringStepInSight(CGXCommand& step, int nMode)
{
    // A step over the grid's own rows shows its place as it runs.
    auto* pEarlier = dynamic_cast<CEarlierRowsCmd*>(&step);
    if (pEarlier == nullptr)
        return TRUE;
    const CEarlierRowsCmd::Reach reach = pEarlier->Foresee(nMode);
    std::vector<CPageNode*> pages = reach.rowOrder;
    for (const CEarlierRowsCmd::Cell& cell : reach.cells)
        pages.push_back(cell.pPage);
    if (!ShowsPages(pages)) {
        CVostrelApp* pApp = GetVostrelApp();
        CMainFrame* pFrame = pApp != nullptr ? pApp->GetMainFrame() : nullptr;
        CPageNode* pNode = NodeHolding(pages);
        if (pFrame == nullptr || pNode == nullptr || !pFrame->ShowPagesOfNode(pNode) || !ShowsPages(pages))
            return FALSE;
    }
    for (const CEarlierRowsCmd::Cell& cell : reach.cells) {
        ROWCOL nRow = 0, nCol = 0;
        if (!FindPageCell(cell.pPage, cell.strTag, cell.bTitle, nRow, nCol) && !ShowColumnOf(cell.strTag, cell.bTitle))
            return FALSE;
    }
    return TRUE;
}

BOOL CGroupView::ShowsPages(const std::vector<CPageNode*>& pages)
{
    if (pages.empty())
        return TRUE;
    std::set<CPageNode*> shown;
    for (ROWCOL nRow = 1; nRow <= GetRowCount(); ++nRow) {
        CPageNode* pPage = nullptr;
        if (GetRowPage(nRow, pPage) == 0)
            shown.insert(pPage);
    }
    return std::all_of(pages.begin(), pages.end(), [&shown](CPageNode* pPage) { return shown.count(pPage) != 0; });
}

CPageNode* CGroupView::NodeHolding(const std::vector<CPageNode*>& pages)
{
    CPageNode* pFolder = nullptr;
    BOOL bOneFolder = TRUE;
    for (CPageNode* pPage : pages) {
        CPageNode* pParent = pPage != nullptr ? pPage->GetParent() : nullptr;
        if (pFolder == nullptr)
            pFolder = pParent;
        else if (pParent != pFolder)
            bOneFolder = FALSE;
    }
    // A folder shows its own pages only: pages of several folders are all shown by the root.
    while (!bOneFolder && pFolder != nullptr && pFolder->GetParent() != nullptr)
        pFolder = pFolder->GetParent();
    return pFolder;
}

BOOL CGroupView::ShowColumnOf(const CString& strTag, BOOL bTitle)
{
    CVostrelApp* pApp = GetVostrelApp();
    if (pApp == nullptr)
        return FALSE;
    if (bTitle) {
        CProjectSettings* pSettings = nullptr;
        if (m_bShowTitle || pApp->GetProjectSettings(pSettings) != 0)
            return FALSE;
        // As Project Settings' Show Title shows them: the grid is loaded again with them.
        pSettings->m_bShowTitle = 1;
        OnUpdate(nullptr, 3, reinterpret_cast<CObject*>(&pApp->GetSelectedNodes()));
        return m_bShowTitle;
    }
    CMetaSettingList* pList = Catalogue();
    CMetaSetting* pSetting = nullptr;
    UINT bShow = 0;
    if (pList == nullptr || pList->FindByName(strTag, pSetting) != 0 || pSetting->GetShow(bShow) != 0 || bShow)
        return FALSE;
    // As a scan shows a setting it finds on the pages: marked shown, its column added.
    pSetting->SetShow(1);
    AddSettingColumn(*pList, pSetting);
    return TRUE;
}

void CGroupView::FollowRowOrder(const std::vector<CPageNode*>& order)
{
    const ROWCOL nRows = GetRowCount();
    std::unordered_map<CPageNode*, ROWCOL> rowOf;
    for (CPageNode* pPage : order)
        rowOf.emplace(pPage, 0);
    // The rows that show the pages, top to bottom: they take the pages in the step's order.
    std::vector<ROWCOL> places;
    for (ROWCOL nRow = 1; nRow <= nRows; ++nRow) {
        CPageNode* pPage = nullptr;
        if (GetRowPage(nRow, pPage) != 0)
            continue;
        const auto found = rowOf.find(pPage);
        if (found != rowOf.end() && found->second == 0) {
            found->second = nRow;
            places.push_back(nRow);
        }
    }
    // For each row, the row whose cells go there.
    CDWordArray newOrder;
    newOrder.SetSize(nRows);
    for (ROWCOL n = 0; n < nRows; ++n)
        newOrder[n] = n + 1;
    size_t nPlace = 0;
    BOOL bMoves = FALSE;
    for (CPageNode* pPage : order) {
        const auto found = rowOf.find(pPage);
        if (found == rowOf.end() || found->second == 0 || nPlace == places.size())
            continue;
        newOrder[places[nPlace] - 1] = found->second;
        bMoves |= places[nPlace] != found->second;
        found->second = 0;   // a page listed twice takes one place
        ++nPlace;
    }
    if (!bMoves || nPlace != places.size())
        return;
    const Place place = CurrentPlace();
    MoveDataRows(CGXRange().SetRows(1, nRows), newOrder, GX_INVALIDATE, gxRollback);
    ReturnToPlace(place);
}

void CGroupView::ForgetEditsOf(CSelNodesCol& pages)
{
    // Text still being typed belongs to the history first.
    FinishCellEdit();
    std::set<CPageNode*> forgotten;
    for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;)
        forgotten.insert(pages.GetNext(pos));
    // The steps are kept over a copy of the rows shown now, taken while they are still theirs;
    // then no step writes into these pages any more.
    KeepHistoryOverReload();
    if (CGXGridParam* pParam = GetParam())
        CEarlierRowsCmd::ForgetPages(pParam->m_UndoList, pParam->m_RedoList, forgotten);
    std::erase_if(m_originals, [&](const auto& entry) { return forgotten.count(entry.first.first) != 0; });
}

void CGroupView::ForgetTagsWithoutSetting()
{
    CMetaSettingList* pList = Catalogue();
    CGXGridParam* pParam = GetParam();
    if (pList == nullptr || pParam == nullptr)
        return;
    CScanNameLookup names(*pList);
    const auto gone = [&names](const CString& strTag) -> BOOL { return names.FindSetting(strTag) == nullptr; };
    CEarlierRowsCmd::ForgetTags(pParam->m_UndoList, pParam->m_RedoList, gone);
    std::erase_if(m_originals, [&](const auto& entry) {
        return !entry.first.second.empty() && gone(CString(entry.first.second.c_str()));
    });
}

void CGroupView::RestorePageValue(CPageNode* pPage, const CString& strTag, BOOL bTitle, const CString& strText)
{
    if (pPage != nullptr && (bTitle || !strTag.IsEmpty()))
        WritePageValue(pPage, strTag, bTitle, strText, PageWrite::Restore);
}

void CGroupView::ShowRestoredPages(const std::vector<CPageNode*>& pages)
{
    for (CPageNode* pPage : pages) {
        ROWCOL nRow = 0;
        if (FindRowOfPage(nullptr, pPage, nRow) == 0)
            RedrawRow(nRow);
    }
    if (!pages.empty())
        UpdateEditState();
}

BOOL CGroupView::FindPageCell(CPageNode* pPage, const CString& strTag, BOOL bTitle, ROWCOL& nRow, ROWCOL& nCol)
{
    nRow = nCol = 0;
    if (FindRowOfPage(nullptr, pPage, nRow) != 0)
        return FALSE;
    for (ROWCOL c = kFileColumn + 1; c <= GetColCount() && nCol == 0; ++c)
        if (bTitle ? IsTitleColumn(c) : (!IsTitleColumn(c) && CUserGridLayout::Key(GetStoredCellValue(0, c)) == CUserGridLayout::Key(strTag)))
            nCol = c;
    if (nCol == 0)
        nRow = 0;
    return nCol != 0;
}

void CGroupView::EndHistoryAtSave()
{
    EmptyUndoLists();
    m_originals.clear();
}

void CGroupView::EndUndoHistory()
{
    CGridViewWrapper::EndUndoHistory();
    m_originals.clear();
    m_bHistoryEnded = m_nApplyDepth > 0;
}

void CGroupView::ShowCommandPosition(ROWCOL nRow, ROWCOL nCol, BOOL bSetCurrent)
{
    // A width or a hiding undone shows its place without making a cell current: only the cell
    // a step changed brings its column or row back.
    if (bSetCurrent && !m_bLockCurrentCell) {
        if (nCol >= 1 && nCol <= GetColCount() && IsColHidden(nCol))
            HideCols(nCol, nCol, FALSE, nullptr, GX_UPDATENOW, gxRollback);
        if (nRow >= 1 && nRow <= GetRowCount() && IsRowHidden(nRow))
            HideRows(nRow, nRow, FALSE, nullptr, GX_UPDATENOW, gxRollback);
    }
    CGridViewWrapper::ShowCommandPosition(nRow, nCol, bSetCurrent);
}

BOOL CGroupView::HandleDestroy()
{
    KeepHistoryForNextGrid();
    if (CVostrelApp* pApp = GetVostrelApp()) {
        NoteColumnWidths();
        pApp->KeepGridLayout(m_userLayout);
    }
    return CGridViewWrapper::HandleDestroy();
}

void CGroupView::KeepHistoryForNextGrid()
{
    CGXGridParam* pParam = GetParam();
    CVostrelApp* pApp = GetVostrelApp();
    if (pParam == nullptr || pApp == nullptr ||
        (pParam->m_UndoList.IsEmpty() && pParam->m_RedoList.IsEmpty() && m_originals.empty()))
        return;
    // No window shows these rows any more: the steps go on over a copy of them.
    KeepHistoryOverReload();
    auto pHistory = std::make_unique<CGroupHistory>();
    while (!pParam->m_UndoList.IsEmpty())
        pHistory->m_UndoList.AddTail(pParam->m_UndoList.RemoveHead());
    while (!pParam->m_RedoList.IsEmpty())
        pHistory->m_RedoList.AddTail(pParam->m_RedoList.RemoveHead());
    pHistory->m_originals.swap(m_originals);
    pHistory->m_rowOrderSorts.swap(m_rowOrderSorts);
    pApp->KeepGroupHistory(std::move(pHistory));
}

void CGroupView::TakeHistoryOfLastGrid()
{
    CGXGridParam* pParam = GetParam();
    CVostrelApp* pApp = GetVostrelApp();
    std::unique_ptr<CGroupHistory> pHistory = pApp != nullptr ? pApp->TakeGroupHistory() : nullptr;
    if (pParam == nullptr || pHistory == nullptr)
        return;
    while (!pHistory->m_UndoList.IsEmpty())
        pParam->m_UndoList.AddTail(pHistory->m_UndoList.RemoveHead());
    while (!pHistory->m_RedoList.IsEmpty())
        pParam->m_RedoList.AddTail(pHistory->m_RedoList.RemoveHead());
    m_originals.swap(pHistory->m_originals);
    m_rowOrderSorts.swap(pHistory->m_rowOrderSorts);
}

void CGroupView::EmptyUndoLists()
{
    CGXGridParam* pParam = GetParam();
    if (pParam == nullptr)
        return;
    for (CObList* pList : {&pParam->m_UndoList, &pParam->m_RedoList})
        while (!pList->IsEmpty())
            delete static_cast<CGXCommand*>(pList->RemoveHead());
    m_rowOrderSorts.clear();
}

void CGroupView::RestoreOriginals()
{
    for (auto& [key, original] : m_originals)
        PutBackOriginal(key.first, key.second, original);
}

BOOL CGroupView::GiveBackOriginal(CPageNode* pPage, const CString& strTag)
{
    const auto it = m_originals.find(std::make_pair(pPage, CUserGridLayout::Key(strTag)));
    if (it == m_originals.end())
        return FALSE;
    // The entry stays: a redo of the edit is still an edit of what the page held.
    PutBackOriginal(pPage, it->first.second, it->second);
    return TRUE;
}

void CGroupView::PutBackOriginal(CPageNode* pPage, const std::string& strTag, const Original& original)
{
    if (strTag.empty()) {
        pPage->SetTitle(original.strText);
        pPage->SetTitleModified(original.bModified);
        return;
    }
    CMetaContentList* pList = nullptr;
    CMetaContent* pContent = nullptr;
    if (pPage->GetContentList(pList) != 0 || pList->FindByName(CString(strTag.c_str()), pContent) != 0)
        return;
    if (original.bExisted) {
        pContent->SetContent(original.strText);
        pContent->SetModified(original.bModified);
    } else {
        // The edit made the tag: it goes again.
        if (POSITION pos = pList->Find(pContent)) {
            pList->RemoveAt(pos);
            delete pContent;
        }
    }
}

// ---- The view's base cell kinds, for the settings ----

UINT CGroupView::SetEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    return CGridViewWrapper::SetEditCell(nTop, nLeft, nBottom, nRight);
}

UINT CGroupView::SetScrollEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    return CGridViewWrapper::SetScrollEditCell(nTop, nLeft, nBottom, nRight);
}

UINT CGroupView::SetDropDownListCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CStringList& options)
{
    return CGridViewWrapper::SetDropDownListCell(nTop, nLeft, nBottom, nRight, options);
}

UINT CGroupView::SetComboBoxCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CStringList& options)
{
    return CGridViewWrapper::SetComboBoxCell(nTop, nLeft, nBottom, nRight, options);
}

UINT CGroupView::SetHotspotCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    return CGridViewWrapper::SetHotspotCell(nTop, nLeft, nBottom, nRight);
}

UINT CGroupView::SetCheckboxCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    return CGridViewWrapper::SetCheckboxCell(nTop, nLeft, nBottom, nRight);
}

UINT CGroupView::GetCellText(ROWCOL nRow, ROWCOL nCol, CString& strText)
{
    return CGridViewWrapper::GetCellText(nRow, nCol, strText);
}
