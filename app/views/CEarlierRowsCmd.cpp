#include "app/views/CEarlierRowsCmd.h"

#include "app/views/CGroupView.h"
#include "grid/core/CGXSizeCommands.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXGridModel.h"

#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

IMPLEMENT_DYNAMIC(CEarlierRowsCmd, CGXCommand)

namespace {

// The file and Title columns are told by a mark on their header cells, which moves with the
// column; a tag's column by its header's text.
char g_fileHeaderMark;
char g_titleHeaderMark;
// A tag's column cut off from its tag.
char g_cutHeaderMark;

BOOL IsCutHeader(const CGXStyle* pStyle)
{
    return pStyle != nullptr && pStyle->GetInclude(GX_INCL_ITEMDATAPTR) && pStyle->GetItemDataPtr() == &g_cutHeaderMark;
}

// A page's value as a cell of the earlier rows held it: the page, the Title column or not, and
// the tag of the column.
using EarlierValueKey = std::tuple<CPageNode*, bool, std::string>;
using Values = std::map<EarlierValueKey, CString>;

Values ValuesOf(CGXGridParam& param)
{
    Values values;
    const CGXData* pData = param.GetData();
    const ROWCOL nRows = pData->GetRowCount(), nCols = pData->GetColCount();
    ROWCOL nFileCol = 0;
    for (ROWCOL c = 1; c <= nCols && nFileCol == 0; ++c)
        if (CEarlierRows::IsFileHeader(pData->LookupStyle(0, c)))
            nFileCol = c;
    if (nFileCol == 0)
        return values;
    for (ROWCOL r = 1; r <= nRows; ++r) {
        const CGXStyle* pFile = pData->LookupStyle(r, nFileCol);
        auto* pPage = pFile != nullptr && pFile->GetInclude(GX_INCL_ITEMDATAPTR)
                          ? static_cast<CPageNode*>(pFile->GetItemDataPtr())
                          : nullptr;
        if (pPage == nullptr)
            continue;
        for (ROWCOL c = 1; c <= nCols; ++c) {
            const CGXStyle* pHeader = pData->LookupStyle(0, c);
            const CGXStyle* pCell = pData->LookupStyle(r, c);
            if (c == nFileCol || pHeader == nullptr || IsCutHeader(pHeader) || pCell == nullptr ||
                !pCell->GetInclude(GX_INCL_VALUE))
                continue;
            const bool bTitle = CEarlierRows::IsTitleHeader(pHeader) != FALSE;
            const CString strTag = bTitle ? CString() : pHeader->GetValue();
            if (!bTitle && strTag.IsEmpty())
                continue;
            values[EarlierValueKey{pPage, bTitle, std::string(static_cast<LPCTSTR>(strTag))}] = pCell->GetValue();
        }
    }
    return values;
}

// Calls take(key, value) for each page value that differs after a replay from before it.
template <class Take>
void ForEachChange(const Values& before, const Values& after, Take take)
{
    for (const auto& [key, strValue] : after) {
        const auto it = before.find(key);
        if (it == before.end() || it->second != strValue)
            take(key, strValue);
    }
}

// The cells of a store, headers included, copied into another with the given counts.
void CopyStore(const CGXData& from, CGXData& to, ROWCOL nRows, ROWCOL nCols)
{
    to.SetRowCount(nRows);
    to.SetColCount(nCols);
    for (ROWCOL r = 0; r <= nRows; ++r)
        for (ROWCOL c = 0; c <= nCols; ++c)
            if (const CGXStyle* pStyle = from.LookupStyle(r, c))
                to.StoreStyle(r, c, pStyle, gxCopy);
}

// The column whose header carries the file column's mark; 0 when none does.
ROWCOL FileColumnOf(const CGXData& data)
{
    for (ROWCOL c = 1; c <= data.GetColCount(); ++c)
        if (CEarlierRows::IsFileHeader(data.LookupStyle(0, c)))
            return c;
    return 0;
}

// A copy of earlier rows to replay steps on in trial: it notes what a replay changed, the rows
// whose cells took a new style and whether rows or columns were moved, added or removed.
class CTrialCells : public CGXData {
public:
    explicit CTrialCells(const CGXData& from) { CopyStore(from, *this, from.GetRowCount(), from.GetColCount()); }

    void ForgetChanges()
    {
        m_changedCells.clear();
        m_bMoved = FALSE;
    }
    BOOL Moved() const { return m_bMoved; }
    const std::vector<CGXRange>& ChangedCells() const { return m_changedCells; }

    BOOL StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nMode, int nType) override
    {
        return Note(CGXData::StoreStyle(nRow, nCol, pStyle, nMode, nType), CGXRange(nRow, nCol, nRow, nCol));
    }
    BOOL StoreStyleRange(const CGXRange& cells, const CGXStyle* pStyle, int nMode, int nType) override
    {
        return Note(CGXData::StoreStyleRange(cells, pStyle, nMode, nType), cells);
    }
    BOOL SetRowCount(ROWCOL nRows) override { return Moves(CGXData::SetRowCount(nRows)); }
    BOOL SetColCount(ROWCOL nCols) override { return Moves(CGXData::SetColCount(nCols)); }
    BOOL InsertRows(ROWCOL nFirst, ROWCOL nCount) override { return Moves(CGXData::InsertRows(nFirst, nCount)); }
    BOOL InsertCols(ROWCOL nFirst, ROWCOL nCount) override { return Moves(CGXData::InsertCols(nFirst, nCount)); }
    BOOL RemoveRows(ROWCOL nFirst, ROWCOL nLast) override { return Moves(CGXData::RemoveRows(nFirst, nLast)); }
    BOOL RemoveCols(ROWCOL nFirst, ROWCOL nLast) override { return Moves(CGXData::RemoveCols(nFirst, nLast)); }
    BOOL MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) override { return Moves(CGXData::MoveRows(nFrom, nTo, nDest)); }
    BOOL MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) override { return Moves(CGXData::MoveCols(nFrom, nTo, nDest)); }
    BOOL MoveDataRows(const CGXRange& range, const CDWordArray& order) override
    {
        return Moves(CGXData::MoveDataRows(range, order));
    }
    BOOL MoveDataCols(const CGXRange& range, const CDWordArray& order) override
    {
        return Moves(CGXData::MoveDataCols(range, order));
    }
    BOOL CopyCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol) override
    {
        return Moves(CGXData::CopyCells(range, nDestRow, nDestCol));
    }
    BOOL MoveCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol) override
    {
        return Moves(CGXData::MoveCells(range, nDestRow, nDestCol));
    }

private:
    BOOL Note(BOOL bChanged, const CGXRange& cells)
    {
        if (bChanged)
            m_changedCells.push_back(cells);
        return bChanged;
    }
    // Cells that change places change where the later steps land, whatever their values.
    BOOL Moves(BOOL bDone)
    {
        m_bMoved |= bDone;
        return bDone;
    }

    std::vector<CGXRange> m_changedCells;
    BOOL m_bMoved = FALSE;
};

// Replays the step on the trial copy (as it stands at the step's turn): whether it changes a
// cell of a row that still has its page in a column not cut from its tag, a header, or where
// the rows and columns stand for the steps after it. Nothing is recorded.
BOOL ChangesPages(CGXCommand& step, CGXGridParam& trial, int nMode)
{
    auto& cells = static_cast<CTrialCells&>(*trial.GetData());
    cells.ForgetChanges();
    {
        CGXGridModel model(trial, nullptr);
        step.Execute(model, nMode);
    }
    if (cells.Moved())
        return TRUE;
    const ROWCOL nFileCol = FileColumnOf(cells);
    for (const CGXRange& changed : cells.ChangedCells()) {
        BOOL bReaches = FALSE;
        for (ROWCOL c = changed.left; c <= changed.right && c <= cells.GetColCount() && !bReaches; ++c)
            bReaches = !IsCutHeader(cells.LookupStyle(0, c));
        if (!bReaches)
            continue;
        for (ROWCOL r = changed.top; r <= changed.bottom && r <= cells.GetRowCount(); ++r) {
            const CGXStyle* pFile = r > 0 && nFileCol != 0 ? cells.LookupStyle(r, nFileCol) : nullptr;
            if (r == 0 || (pFile != nullptr && pFile->GetInclude(GX_INCL_ITEMDATAPTR) && pFile->GetItemDataPtr() != nullptr))
                return TRUE;
        }
    }
    return FALSE;
}

// The pages of the rows, top to bottom; a row cut off from its page has none.
std::vector<CPageNode*> RowPagesOf(const CGXData& data)
{
    std::vector<CPageNode*> pages;
    const ROWCOL nFileCol = FileColumnOf(data);
    for (ROWCOL r = 1; nFileCol != 0 && r <= data.GetRowCount(); ++r) {
        const CGXStyle* pFile = data.LookupStyle(r, nFileCol);
        if (pFile != nullptr && pFile->GetInclude(GX_INCL_ITEMDATAPTR) && pFile->GetItemDataPtr() != nullptr)
            pages.push_back(static_cast<CPageNode*>(pFile->GetItemDataPtr()));
    }
    return pages;
}

void MarkHeader(CGXData& data, ROWCOL nCol, void* pMark)
{
    CGXStyle header;
    if (const CGXStyle* pStored = data.LookupStyle(0, nCol))
        header = *pStored;
    header.SetItemDataPtr(pMark);
    data.StoreStyle(0, nCol, &header, gxCopy);
}

} // namespace

CEarlierRows::CEarlierRows(CGroupView& view)
{
    m_param.SetData(new CGXData, TRUE);
    CGXData& data = *m_param.GetData();
    if (const CGXData* pFrom = view.GetData())
        CopyStore(*pFrom, data, view.GetRowCount(), view.GetColCount());
    if (data.GetColCount() >= CGroupView::kFileColumn)
        MarkHeader(data, CGroupView::kFileColumn, &g_fileHeaderMark);
    if (view.GetShowTitle() && data.GetColCount() >= CGroupView::kTitleColumn)
        MarkHeader(data, CGroupView::kTitleColumn, &g_titleHeaderMark);
}

void CEarlierRows::DropPages(const std::set<CPageNode*>& pages)
{
    CGXData& data = *m_param.GetData();
    const ROWCOL nFileCol = FileColumnOf(data);
    for (ROWCOL r = 1; nFileCol != 0 && r <= data.GetRowCount(); ++r) {
        const CGXStyle* pFile = data.LookupStyle(r, nFileCol);
        if (pFile == nullptr || !pFile->GetInclude(GX_INCL_ITEMDATAPTR) ||
            pages.count(static_cast<CPageNode*>(pFile->GetItemDataPtr())) == 0)
            continue;
        CGXStyle cut(*pFile);
        cut.SetItemDataPtr(nullptr);
        data.StoreStyle(r, nFileCol, &cut, gxCopy);
    }
}

BOOL CEarlierRows::DropTags(const std::function<BOOL(const CString&)>& bGone)
{
    CGXData& data = *m_param.GetData();
    BOOL bCut = FALSE;
    for (ROWCOL c = 1; c <= data.GetColCount(); ++c) {
        const CGXStyle* pHeader = data.LookupStyle(0, c);
        if (pHeader == nullptr || IsFileHeader(pHeader) || IsTitleHeader(pHeader) || IsCutHeader(pHeader) ||
            pHeader->GetValue().IsEmpty() || !bGone(pHeader->GetValue()))
            continue;
        MarkHeader(data, c, &g_cutHeaderMark);
        bCut = TRUE;
    }
    return bCut;
}

BOOL CEarlierRows::IsFileHeader(const CGXStyle* pStyle)
{
    return pStyle != nullptr && pStyle->GetInclude(GX_INCL_ITEMDATAPTR) && pStyle->GetItemDataPtr() == &g_fileHeaderMark;
}

BOOL CEarlierRows::IsTitleHeader(const CGXStyle* pStyle)
{
    return pStyle != nullptr && pStyle->GetInclude(GX_INCL_ITEMDATAPTR) && pStyle->GetItemDataPtr() == &g_titleHeaderMark;
}

CEarlierRowsCmd::CEarlierRowsCmd(CGXCommand* pStep, std::shared_ptr<CEarlierRows> rows)
    : m_pStep(pStep), m_rows(std::move(rows))
{
    m_sDescription = pStep != nullptr ? pStep->m_sDescription : CString();
}

BOOL CEarlierRowsCmd::Execute(IGXCommandTarget& target, int nMode)
{
    auto* pEngine = dynamic_cast<IGXEngineCommandTarget*>(&target);
    auto* pView = pEngine != nullptr ? dynamic_cast<CGroupView*>(&pEngine->GetEngine()) : nullptr;
    if (!m_pStep || !m_rows || pView == nullptr)
        return FALSE;
    CGroupView& view = *pView;
    CGXGridParam& param = m_rows->Param();
    const Values before = ValuesOf(param);
    const std::vector<CPageNode*> rowsBefore = RowPagesOf(*param.GetData());
    // What the step records while it replays is the step that reverses it.
    m_rows->Factory().BeginTransaction(param, m_sDescription);
    struct CloseBlock {
        CGXGridParam& param;
        std::unique_ptr<CGXBlockCmd> block;
        ~CloseBlock() { Close(); }
        void Close()
        {
            if (block || param.m_TransactionBlocks.IsEmpty())
                return;
            block.reset(static_cast<CGXBlockCmd*>(param.m_TransactionBlocks.RemoveHead()));
            param.m_nTransactionLevel = static_cast<int>(param.m_TransactionBlocks.GetCount());
        }
    } capture{param, nullptr};
    {
        CGXGridModel model(param, &m_rows->Factory());
        m_pStep->Execute(model, nMode);
    }
    capture.Close();

    // Rows the step put in another order stand so in the grid too, where it shows their pages.
    if (std::vector<CPageNode*> rowsAfter = RowPagesOf(*param.GetData()); rowsAfter != rowsBefore)
        view.FollowRowOrder(rowsAfter);
    std::vector<CPageNode*> pages;
    ROWCOL nShowRow = 0, nShowCol = 0;
    ForEachChange(before, ValuesOf(param), [&](const EarlierValueKey& key, const CString& strValue) {
        const auto& [pPage, bTitle, tag] = key;
        const CString strTag(tag.c_str());
        view.RestorePageValue(pPage, strTag, bTitle, strValue);
        pages.push_back(pPage);
        if (nShowRow == 0)
            view.FindPageCell(pPage, strTag, bTitle, nShowRow, nShowCol);
    });
    view.ShowRestoredPages(pages);
    if (nShowRow != 0)
        target.ShowCommandPosition(nShowRow, nShowCol, TRUE);

    if (capture.block && capture.block->GetCount() > 0) {
        CGXCommand* pInverse = capture.block->GetCount() == 1 ? capture.block->DetachSingle() : capture.block.release();
        view.AddCommand(new CEarlierRowsCmd(pInverse, m_rows), nMode);
    }
    return TRUE;
}

CEarlierRowsCmd::Reach CEarlierRowsCmd::Foresee(int nMode) const
{
    Reach reach;
    if (!m_pStep || !m_rows)
        return reach;
    CGXGridParam trial;
    trial.SetData(new CTrialCells(*m_rows->Param().GetData()), TRUE);
    const Values before = ValuesOf(trial);
    const std::vector<CPageNode*> rowsBefore = RowPagesOf(*trial.GetData());
    {
        CGXGridModel model(trial, nullptr);
        m_pStep->Execute(model, nMode);
    }
    ForEachChange(before, ValuesOf(trial), [&reach](const EarlierValueKey& key, const CString&) {
        const auto& [pPage, bTitle, tag] = key;
        reach.cells.push_back(Cell{pPage, bTitle ? TRUE : FALSE, CString(tag.c_str())});
    });
    if (std::vector<CPageNode*> rowsAfter = RowPagesOf(*trial.GetData()); rowsAfter != rowsBefore)
        reach.rowOrder = std::move(rowsAfter);
    return reach;
}

void CEarlierRowsCmd::ForgetPages(CObList& undoList, CObList& redoList, const std::set<CPageNode*>& pages)
{
    std::set<CEarlierRows*> dropped;
    for (CObList* pList : {&undoList, &redoList})
        for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
            auto* pCmd = dynamic_cast<CEarlierRowsCmd*>(pList->GetNext(pos));
            if (pCmd != nullptr && pCmd->m_rows && dropped.insert(pCmd->m_rows.get()).second)
                pCmd->m_rows->DropPages(pages);
        }
    DropStepsThatChangeNoPage(undoList, redoList);
}

void CEarlierRowsCmd::ForgetTags(CObList& undoList, CObList& redoList, const std::function<BOOL(const CString&)>& bGone)
{
    std::set<CEarlierRows*> looked;
    BOOL bCut = FALSE;
    for (CObList* pList : {&undoList, &redoList})
        for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
            auto* pCmd = dynamic_cast<CEarlierRowsCmd*>(pList->GetNext(pos));
            if (pCmd != nullptr && pCmd->m_rows && looked.insert(pCmd->m_rows.get()).second)
                bCut |= pCmd->m_rows->DropTags(bGone);
        }
    // Replaying every step on a copy of its rows costs what the rows hold: only when a tag went.
    if (bCut)
        DropStepsThatChangeNoPage(undoList, redoList);
}

void CEarlierRowsCmd::DropStepsThatChangeNoPage(CObList& undoList, CObList& redoList)
{
    // Each list replays in its own order from where the rows stand now: the undo list from its
    // newest step, the redo list from the step undone last.
    for (auto [pList, nMode] : {std::pair{&undoList, static_cast<int>(gxUndo)}, std::pair{&redoList, static_cast<int>(gxRedo)}}) {
        std::map<CEarlierRows*, std::unique_ptr<CGXGridParam>> trials;
        for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
            const POSITION at = pos;
            auto* pCmd = dynamic_cast<CEarlierRowsCmd*>(pList->GetNext(pos));
            if (pCmd == nullptr || !pCmd->m_rows || !pCmd->m_pStep)
                continue;
            std::unique_ptr<CGXGridParam>& pTrial = trials[pCmd->m_rows.get()];
            if (!pTrial) {
                pTrial = std::make_unique<CGXGridParam>();
                pTrial->SetData(new CTrialCells(*pCmd->m_rows->Param().GetData()), TRUE);
            }
            if (ChangesPages(*pCmd->m_pStep, *pTrial, nMode))
                continue;
            pList->RemoveAt(at);
            delete pCmd;
        }
    }
}
