// CSettingColumns: which META setting each column of the project's grid shows, and where in the
// catalogue's order a setting shown later belongs, so that a scan adding a column for every new
// name pays the same for the ten-thousandth as for the first.
#pragma once

#include "engine/meta/IMetaSettingUi.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <cstddef>
#include <unordered_map>
#include <vector>

class CMetaSetting;
class CMetaSettingList;

// It holds pointers into the catalogue and is to be trusted only while the catalogue changes
// by nothing but settings added at its end: during a scan, while the user's settings wait.
// The view starts it afresh whenever it lays out its columns. User-interface thread.
class CSettingColumns {
public:
    CSettingColumns() = default;
    CSettingColumns(const CSettingColumns&) = delete;
    CSettingColumns& operator=(const CSettingColumns&) = delete;

    // No column known; the META columns begin at nFirst.
    void Reset(ROWCOL nFirst);
    // The next META column shows the setting, under its name as it stands now (the columns are
    // recorded left to right).
    void Append(CMetaSetting* pSetting);
    // Whether every column up to nColCount is known.
    bool Covers(ROWCOL nColCount) const { return m_columns.size() == static_cast<size_t>(nColCount) + 1; }
    // The setting of the column, when it is known and the header still shows its name; else
    // null (the caller looks the header up itself).
    CMetaSetting* Find(ROWCOL nCol, const CString& strHeader) const;
    // The column a setting of the catalogue just shown goes to, after the columns of the
    // settings before it in the catalogue; 0 when the setting is not in the catalogue.
    ROWCOL PlaceFor(const CMetaSettingList& list, const CMetaSetting* pSetting);
    // A column was inserted for the setting at nCol: the settings right of it are numbered
    // again. Returns the next free column number.
    ROWCOL Insert(ROWCOL nCol, CMetaSetting* pSetting);

    // The setting's place in the catalogue's order, read from the catalogue while it does not
    // change (the scan waits); false when it is not there.
    bool OrderFor(const CMetaSettingList& list, const CMetaSetting* pSetting, size_t& nOrder);
    // Columns to be added together, each a setting and its place in the catalogue's order.
    struct Added {
        CMetaSetting* pSetting = nullptr;
        size_t nOrder = 0;
    };
    // Where each of the settings goes, read without the catalogue: the column numbers they take
    // once all are inserted, in the order given (sorted here by their places in the catalogue).
    // Settings placed before a column whose place is not known (the columns were moved) go at
    // the end. The record then holds them, and every setting is numbered again.
    std::vector<ROWCOL> InsertAll(std::vector<Added>& added);

private:
    struct Column {
        CMetaSetting* pSetting = nullptr;
        CString strName;
    };
    // The setting's place in the catalogue, read on as far as needed; false when absent.
    bool OrderOf(const CMetaSettingList& list, const CMetaSetting* pSetting, size_t& nOrder);

    ROWCOL m_nFirst = 1;
    std::vector<Column> m_columns;   // by column; the file and title columns hold none
    std::unordered_map<const CMetaSetting*, size_t> m_order;
    POSITION m_lastOrdered = nullptr;   // the last setting of the catalogue in m_order
};
