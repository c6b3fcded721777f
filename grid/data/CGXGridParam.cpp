#include "grid/data/CGXGridParam.h"

#include <atomic>

IMPLEMENT_DYNCREATE(CGXGridParam, CObject)

namespace {
constexpr int kMaxColumnLetters = 10;
} // namespace

namespace {
std::atomic<unsigned long long> g_nNextSerial{1};
} // namespace

CGXGridParam::CGXGridParam() : m_nSerial(g_nNextSerial.fetch_add(1)) {}

void CGXGridParam::EmptyRedoList()
{
    while (!m_RedoList.IsEmpty())
        delete m_RedoList.RemoveHead();
}

CGXGridParam::~CGXGridParam()
{
    // Undo commands may refer to the data, so they go first.
    while (!m_UndoList.IsEmpty())
        delete m_UndoList.RemoveHead();
    EmptyRedoList();
    while (!m_TransactionBlocks.IsEmpty())
        delete m_TransactionBlocks.RemoveHead();
    SetData(nullptr);
    SetStylesMap(nullptr);
    SetProperties(nullptr);
    SetPrintDevice(nullptr);
    for (int i = 0; i < gxPoolCount; ++i)
        SetPool(static_cast<GXPool>(i), nullptr);
}

template <class T>
void CGXGridParam::Attach(T*& pMember, BOOL& bOwned, T* pNew, BOOL bMustDelete)
{
    if (pNew == pMember) {
        // The same object again: deleting it here would leave the member dangling.
        bOwned = pNew != nullptr && bMustDelete;
        return;
    }
    if (bOwned)
        delete pMember;
    pMember = pNew;
    bOwned = pNew != nullptr && bMustDelete;
}

void CGXGridParam::SetProperties(CGXProperties* p, BOOL bMustDelete) { Attach(m_pProperties, m_bOwnProperties, p, bMustDelete); }
void CGXGridParam::SetStylesMap(CGXStylesMap* p, BOOL bMustDelete) { Attach(m_pStylesMap, m_bOwnStylesMap, p, bMustDelete); }
void CGXGridParam::SetPrintDevice(CGXOwnedObject* p, BOOL bMustDelete) { Attach(m_pPrintDevice, m_bOwnPrintDevice, p, bMustDelete); }

void CGXGridParam::SetData(CGXData* p, BOOL bMustDelete)
{
    const bool bNew = p != m_pData;
    Attach(m_pData, m_bOwnData, p, bMustDelete);
    if (bNew && m_pData != nullptr)
        m_pData->InitParam(this);
}

void CGXGridParam::SetPool(GXPool nPool, CGXOwnedObject* pPool)
{
    if (nPool < 0 || nPool >= gxPoolCount)
        return;
    CGXOwnedObject*& pSlot = m_apPools[nPool];
    if (pPool != pSlot)
        delete pSlot;
    pSlot = pPool;
}

CGXOwnedObject* CGXGridParam::GetPool(GXPool nPool) const
{
    return nPool >= 0 && nPool < gxPoolCount ? m_apPools[nPool] : nullptr;
}

CString CGXGridParam::GetColumnLetters(ROWCOL nCol)
{
    if (nCol == 0)
        return CString();
    char letters[kMaxColumnLetters + 1];
    int n = kMaxColumnLetters;
    letters[n] = '\0';
    ULONGLONG v = nCol;
    while (v > 0 && n > 0) {
        --v;
        letters[--n] = static_cast<char>('A' + v % 26);
        v /= 26;
    }
    return CString(letters + n);
}

void CGXGridParam::ComposeCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bIncludeStandard,
                                    BOOL bValueOnly) const
{
    style.Free();
    if (m_pData != nullptr)
        m_pData->GetStyle(nRow, nCol, style, gxCopy);
    if (bValueOnly && style.GetInclude(GX_INCL_VALUE))
        return;
    if (m_pData != nullptr) {
        // (0, 0) addresses the table's style, so row 0 and column 0 have no base style of their own.
        if (nCol > m_nHeaderCols && nRow > 0)
            m_pData->GetStyle(nRow, 0, style, gxApplyNew, gxBaseStyleType);
        if (nRow > m_nHeaderRows) {
            if (nCol > 0)
                m_pData->GetStyle(0, nCol, style, gxApplyNew, gxBaseStyleType);
            if (nCol > m_nHeaderCols)
                m_pData->GetStyle(0, 0, style, gxApplyNew, gxBaseStyleType);
        }
    }
    if (m_pStylesMap != nullptr) {
        style.LoadBaseStyle(*m_pStylesMap);
        const CGXStyle* pHeader = nullptr;
        if (nRow <= m_nHeaderRows)
            pHeader = m_pStylesMap->LookupStyle(m_pStylesMap->m_wStyleColHeader);
        else if (nCol <= m_nHeaderCols)
            pHeader = m_pStylesMap->LookupStyle(m_pStylesMap->m_wStyleRowHeader);
        // Not the header style's own chain: it ends in the standard style, whose empty value
        // would keep the generated header texts below from being given.
        if (pHeader != nullptr)
            style.ChangeStyle(*pHeader, gxApplyNew);
    }
    if (!style.GetInclude(GX_INCL_VALUE)) {
        if (nRow == 0 && nCol > 0 && m_bLetterColumns)
            style.SetValue(GetColumnLetters(nCol));
        else if (nCol == 0 && nRow > 0 && m_bNumberedRows)
            style.SetValue(static_cast<DWORD>(nRow));
    }
    if (bIncludeStandard && m_pStylesMap != nullptr)
        if (const CGXStyle* pStandard = m_pStylesMap->LookupStyle(m_pStylesMap->m_wStyleStandard))
            style.ChangeStyle(*pStandard, gxApplyNew);
    if (m_bMarkRanges && m_MarkedRanges.FindCell(nRow, nCol) != nullptr)
        style.SetInterior(CGXBrush().SetPattern(17).SetForeColor(RGB(192, 192, 192)));
}
