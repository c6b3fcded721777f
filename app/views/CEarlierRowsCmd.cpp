#include "app/views/CEarlierRowsCmd.h"

#include "app/views/CGroupView.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXGridModel.h"

#include <map>
#include <string>
#include <tuple>
#include <vector>

IMPLEMENT_DYNAMIC(CEarlierRowsCmd, CGXCommand)

namespace {

// The file and Title columns are told by a mark on their header cells, which moves with the
// column; a tag's column by its header's text.
char g_fileHeaderMark;
char g_titleHeaderMark;

// A page's value as a cell of the earlier rows held it: the page, the Title column or not, and
// the tag of the column.
using ValueKey = std::tuple<CPageNode*, bool, std::string>;
using Values = std::map<ValueKey, CString>;

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
            if (c == nFileCol || pHeader == nullptr || pCell == nullptr || !pCell->GetInclude(GX_INCL_VALUE))
                continue;
            const bool bTitle = CEarlierRows::IsTitleHeader(pHeader) != FALSE;
            const CString strTag = bTitle ? CString() : pHeader->GetValue();
            if (!bTitle && strTag.IsEmpty())
                continue;
            values[ValueKey{pPage, bTitle, std::string(static_cast<LPCTSTR>(strTag))}] = pCell->GetValue();
        }
    }
    return values;
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
    const ROWCOL nRows = view.GetRowCount(), nCols = view.GetColCount();
    data.SetRowCount(nRows);
    data.SetColCount(nCols);
    if (const CGXData* pFrom = view.GetData())
        for (ROWCOL r = 0; r <= nRows; ++r)
            for (ROWCOL c = 0; c <= nCols; ++c)
                if (const CGXStyle* pStyle = pFrom->LookupStyle(r, c))
                    data.StoreStyle(r, c, pStyle, gxCopy);
    if (nCols >= CGroupView::kFileColumn)
        MarkHeader(data, CGroupView::kFileColumn, &g_fileHeaderMark);
    if (view.GetShowTitle() && nCols >= CGroupView::kTitleColumn)
        MarkHeader(data, CGroupView::kTitleColumn, &g_titleHeaderMark);
}

BOOL CEarlierRows::IsFileHeader(const CGXStyle* pStyle)
{
    return pStyle != nullptr && pStyle->GetInclude(GX_INCL_ITEMDATAPTR) && pStyle->GetItemDataPtr() == &g_fileHeaderMark;
}

BOOL CEarlierRows::IsTitleHeader(const CGXStyle* pStyle)
{
    return pStyle != nullptr && pStyle->GetInclude(GX_INCL_ITEMDATAPTR) && pStyle->GetItemDataPtr() == &g_titleHeaderMark;
}

CEarlierRowsCmd::CEarlierRowsCmd(CGXCommand* pStep, std::shared_ptr<CEarlierRows> rows, CGroupView& view)
    : m_pStep(pStep), m_rows(std::move(rows)), m_view(view)
{
    m_sDescription = pStep != nullptr ? pStep->m_sDescription : CString();
}

BOOL CEarlierRowsCmd::Execute(IGXCommandTarget& target, int nMode)
{
    if (!m_pStep || !m_rows)
        return FALSE;
    CGXGridParam& param = m_rows->Param();
    const Values before = ValuesOf(param);
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

    std::vector<CPageNode*> pages;
    ROWCOL nShowRow = 0, nShowCol = 0;
    for (const auto& [key, strValue] : ValuesOf(param)) {
        const auto it = before.find(key);
        if (it != before.end() && it->second == strValue)
            continue;
        const auto& [pPage, bTitle, tag] = key;
        const CString strTag(tag.c_str());
        m_view.RestorePageValue(pPage, strTag, bTitle, strValue);
        pages.push_back(pPage);
        if (nShowRow == 0)
            m_view.FindPageCell(pPage, strTag, bTitle, nShowRow, nShowCol);
    }
    m_view.ShowRestoredPages(pages);
    if (nShowRow != 0)
        target.ShowCommandPosition(nShowRow, nShowCol, TRUE);

    if (capture.block && capture.block->GetCount() > 0) {
        CGXCommand* pInverse = capture.block->GetCount() == 1 ? capture.block->DetachSingle() : capture.block.release();
        m_view.AddCommand(new CEarlierRowsCmd(pInverse, m_rows, m_view), nMode);
    }
    return TRUE;
}
