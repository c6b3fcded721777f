// CGXDelayedRangePool: the ranges whose floating or merged spans must still be worked out
// again, each with the rows already worked out, so that only what is drawn gets evaluated.
#pragma once

#include "grid/data/CGXRange.h"
#include "platform/core/CObject.h"
#include "platform/core/CPtrArray.h"

class CArchive;

class CGXDelayedRange : public CObject {
    DECLARE_SERIAL(CGXDelayedRange)
public:
    CGXDelayedRange() = default;
    ~CGXDelayedRange() override = default;
    CGXDelayedRange(const CGXDelayedRange& other) : CObject() { *this = other; }
    virtual CGXDelayedRange& operator=(const CGXDelayedRange& other);

    // The range, the interval starts, the interval ends; the done flag is not stored, so a
    // loaded entry is pending.
    void Serialize(CArchive& ar) override;

    // Records rows first..last as worked out; FALSE when they all were already.
    BOOL AddEvaluatedRows(DWORD nFirst, DWORD nLast);

    CGXRange m_range;
    CDWordArray m_awEnd;   // ends of the worked-out row intervals, paired with the starts
    CDWordArray m_awStart; // starts, ascending
    BOOL m_bDone = FALSE;
};

class CGXDelayedRangePool : public CObject {
    DECLARE_SERIAL(CGXDelayedRangePool)
public:
    CGXDelayedRangePool() = default;
    ~CGXDelayedRangePool() override;
    CGXDelayedRangePool(const CGXDelayedRangePool& other) : CObject() { *this = other; }
    virtual CGXDelayedRangePool& operator=(const CGXDelayedRangePool& other);

    void Serialize(CArchive& ar) override;

    // Records a range to be worked out again, reusing a finished entry or widening a pending one.
    void AddRange(const CGXRange& range);
    // For the rows of range, the leftmost (F) and rightmost (L) column to work out now, one
    // entry per row (0xFFFFFFFF and 0 for a row with none); marks them worked out. TRUE when
    // any row needs work.
    BOOL GetRowsToEvaluate(const CGXRange& range, CDWordArray& awFirstCol, CDWordArray& awLastCol);
    void ClipRows(DWORD nLastRow);
    void ClipCols(DWORD nLastCol);
    void RemoveAll();

    INT_PTR GetCount() const { return m_Ranges.GetSize(); }
    CGXDelayedRange* GetAt(INT_PTR i) const { return static_cast<CGXDelayedRange*>(m_Ranges.GetAt(i)); }

    // A pool written with CArchive::WriteObject, or null; a reference to an object read before
    // is refused, since the reader owns what it gets.
    static CGXDelayedRangePool* ReadFromArchive(CArchive& ar);

    CObArray m_Ranges; // owned CGXDelayedRange entries
};
