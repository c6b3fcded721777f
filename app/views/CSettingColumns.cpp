#include "app/views/CSettingColumns.h"

#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"

#include <algorithm>

void CSettingColumns::Reset(ROWCOL nFirst)
{
    m_nFirst = nFirst;
    m_columns.assign(nFirst, Column{});
    m_order.clear();
    m_lastOrdered = nullptr;
}

void CSettingColumns::Append(CMetaSetting* pSetting)
{
    m_columns.push_back(Column{pSetting, pSetting->Name()});
}

CMetaSetting* CSettingColumns::Find(ROWCOL nCol, const CString& strHeader) const
{
    if (nCol < m_nFirst || nCol >= m_columns.size())
        return nullptr;
    const Column& column = m_columns[nCol];
    return column.strName == strHeader ? column.pSetting : nullptr;
}

bool CSettingColumns::OrderOf(const CMetaSettingList& list, const CMetaSetting* pSetting, size_t& nOrder)
{
    if (const auto found = m_order.find(pSetting); found != m_order.end()) {
        nOrder = found->second;
        return true;
    }
    // Read on from the last setting put in order: while a scan runs, settings come only at the
    // catalogue's end, so the whole catalogue is read once however many are shown.
    POSITION pos = m_lastOrdered;
    if (pos == nullptr)
        pos = list.GetHeadPosition();
    else
        list.GetNext(pos);
    while (pos != nullptr) {
        m_lastOrdered = pos;
        const CMetaSetting* pNext = list.GetNext(pos);
        const size_t nNext = m_order.size();
        m_order.emplace(pNext, nNext);
        if (pNext == pSetting) {
            nOrder = nNext;
            return true;
        }
    }
    return false;
}

ROWCOL CSettingColumns::PlaceFor(const CMetaSettingList& list, const CMetaSetting* pSetting)
{
    size_t nOrder = 0;
    if (!OrderOf(list, pSetting, nOrder))
        return 0;
    // The columns stand in the catalogue's order: the new one goes before the first whose
    // setting comes after it.
    bool bLost = false;
    const auto first = m_columns.begin() + static_cast<std::ptrdiff_t>(m_nFirst);
    const auto place = std::upper_bound(first, m_columns.end(), nOrder, [&](size_t nNew, const Column& column) {
        size_t nColumn = 0;
        if (!OrderOf(list, column.pSetting, nColumn))
            bLost = true;
        return nNew < nColumn;
    });
    if (bLost)
        return 0;
    return static_cast<ROWCOL>(place - m_columns.begin());
}

ROWCOL CSettingColumns::Insert(ROWCOL nCol, CMetaSetting* pSetting)
{
    nCol = std::clamp<ROWCOL>(nCol, m_nFirst, static_cast<ROWCOL>(m_columns.size()));
    m_columns.insert(m_columns.begin() + static_cast<std::ptrdiff_t>(nCol), Column{pSetting, pSetting->Name()});
    for (size_t n = nCol + 1; n < m_columns.size(); ++n)
        m_columns[n].pSetting->SetColumn(static_cast<ROWCOL>(n));
    return static_cast<ROWCOL>(m_columns.size());
}

bool CSettingColumns::OrderFor(const CMetaSettingList& list, const CMetaSetting* pSetting, size_t& nOrder)
{
    // The shown columns' settings are put in order too (the last one brings every one before
    // it), so that a batch can later be placed among them without reading the catalogue.
    size_t nLast = 0;
    if (m_columns.size() > m_nFirst && !OrderOf(list, m_columns.back().pSetting, nLast))
        return false;
    return OrderOf(list, pSetting, nOrder);
}

std::vector<ROWCOL> CSettingColumns::InsertAll(std::vector<Added>& added)
{
    std::stable_sort(added.begin(), added.end(), [](const Added& a, const Added& b) { return a.nOrder < b.nOrder; });
    // The columns stand in the catalogue's order, so the new ones merge into them as two sorted
    // runs: one pass for the whole batch instead of a shift of every column for each.
    std::vector<Column> merged(m_columns.begin(), m_columns.begin() + static_cast<std::ptrdiff_t>(m_nFirst));
    merged.reserve(m_columns.size() + added.size());
    std::vector<ROWCOL> places;
    places.reserve(added.size());
    auto next = added.begin();
    bool bKnown = true;
    for (size_t n = m_nFirst; n < m_columns.size(); ++n) {
        const auto found = m_order.find(m_columns[n].pSetting);
        bKnown = bKnown && found != m_order.end();
        for (; bKnown && next != added.end() && next->nOrder < found->second; ++next) {
            places.push_back(static_cast<ROWCOL>(merged.size()));
            merged.push_back(Column{next->pSetting, next->pSetting->Name()});
        }
        merged.push_back(m_columns[n]);
    }
    for (; next != added.end(); ++next) {
        places.push_back(static_cast<ROWCOL>(merged.size()));
        merged.push_back(Column{next->pSetting, next->pSetting->Name()});
    }
    m_columns = std::move(merged);
    for (size_t n = m_nFirst; n < m_columns.size(); ++n)
        m_columns[n].pSetting->SetColumn(static_cast<ROWCOL>(n));
    return places;
}
