// Shared helpers of the engine tests: an installed application model, fakes of the grid and
// dialog interfaces, a scratch folder and a builder for archive bytes composed by hand.
#pragma once

#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/IMetaDialogs.h"
#include "engine/meta/IMetaSettingUi.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CMemFile.h"
#include "platform/core/CProfileStore.h"
#include "platform/core/CPtrList.h"
#include "platform/core/CString.h"
#include "support/ScopedTempDir.h"
#include "tests/support/HangGuard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace enginetest {

// Little-endian bytes in the archive's forms, written out by hand from the stored layouts.
class Bytes {
public:
    Bytes& Word(uint16_t w)
    {
        m_data.push_back(static_cast<char>(w & 0xFF));
        m_data.push_back(static_cast<char>(w >> 8));
        return *this;
    }
    Bytes& Dword(uint32_t d)
    {
        for (int i = 0; i < 4; ++i)
            m_data.push_back(static_cast<char>((d >> (8 * i)) & 0xFF));
        return *this;
    }
    Bytes& Raw(const std::string& s)
    {
        m_data += s;
        return *this;
    }
    // A string: a length byte below 255, else 0xFF and a WORD below 0xFFFE, else 0xFF 0xFFFF
    // and a DWORD; then the characters.
    Bytes& Str(const std::string& s)
    {
        if (s.size() < 255) {
            m_data.push_back(static_cast<char>(s.size()));
        } else if (s.size() < 0xFFFE) {
            m_data.push_back(static_cast<char>(0xFF));
            Word(static_cast<uint16_t>(s.size()));
        } else {
            m_data.push_back(static_cast<char>(0xFF));
            Word(0xFFFF);
            Dword(static_cast<uint32_t>(s.size()));
        }
        m_data += s;
        return *this;
    }
    // A string list: a WORD count (0xFFFF and a DWORD from 0xFFFF on), then the strings.
    Bytes& StrList(const std::vector<std::string>& items)
    {
        if (items.size() < 0xFFFF) {
            Word(static_cast<uint16_t>(items.size()));
        } else {
            Word(0xFFFF);
            Dword(static_cast<uint32_t>(items.size()));
        }
        for (const std::string& item : items)
            Str(item);
        return *this;
    }
    // The base part of a setting: name, type id, description, Show, HTTP-EQUIV, fixed syntax,
    // name fixed.
    Bytes& SettingBase(const std::string& name, uint32_t type, const std::string& description, uint32_t show,
                       uint32_t httpEquiv, uint32_t fixedSyntax, uint32_t nameFixed)
    {
        return Str(name).Dword(type).Str(description).Dword(show).Dword(httpEquiv).Dword(fixedSyntax).Dword(nameFixed);
    }
    const std::string& str() const { return m_data; }
    size_t size() const { return m_data.size(); }

private:
    std::string m_data;
};

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& data);
// Takes the file the page's path leads to now for the one its scan read, as a scan does; nothing
// when there is none.
void NoteFileAsScanned(CPageNode& page);
// Adds the page's Content-Type to the catalogue, as an HTTP-EQUIV setting a page's charset is
// given by.
void AddContentTypeSetting(CMetaSettingList& list);
// The folder of the engine's test data files.
std::filesystem::path TestDataDir();
// What the folder's file system lacks for the save to mark its copies: empty when it keeps
// extended attributes of the user's, else what is missing, for VOSTREL_REQUIRE.
std::string MarksMissingIn(const std::filesystem::path& folder);
// The mark the save gives its copies, for a copy of a save that runs in this process: its id and
// its start time (the 22nd field of its stat line).
std::string LiveCopyMark();

// One cell operation as the fakes recorded it.
struct CellCall {
    std::string op;
    ROWCOL top = 0, left = 0, bottom = 0, right = 0;
    std::string text;
    std::vector<std::string> options;
};

std::vector<std::string> ToVector(const CStringList& list);

// The bytes the call writes through a storing archive.
template <class F>
std::string StoredBytes(F&& write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    std::string data(static_cast<size_t>(file.GetLength()), '\0');
    file.SeekToBegin();
    file.Read(data.data(), static_cast<UINT>(data.size()));
    return data;
}

// Runs the call with a loading archive over a copy of the bytes; what it raises passes on.
template <class F>
void LoadBytes(const std::string& data, F&& read)
{
    std::string copy = data;
    CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    read(ar);
}

// Runs the call and gives the cause of the archive exception it raised (deleting the
// exception), or -1 when it raised none.
template <class F>
int ArchiveErrorOf(F&& call)
{
    try {
        call();
    } catch (CArchiveException* e) {
        const int nCause = e->m_cause;
        e->Delete();
        return nCause;
    }
    return -1;
}

// A cell's key in the fakes' cell maps.
inline std::pair<ROWCOL, ROWCOL> At(ROWCOL nRow, ROWCOL nCol)
{
    return {nRow, nCol};
}

// The page grid: records cell kinds and values, keeps cell texts.
class FakeGroupView : public IGroupView {
public:
    UINT SetEditCell(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) override { return Record("edit", t, l, b, r); }
    UINT SetScrollEditCell(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) override { return Record("scrolledit", t, l, b, r); }
    UINT SetDropDownListCell(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r, const CStringList& options) override
    {
        Record("dropdown", t, l, b, r);
        calls.back().options = ToVector(options);
        return 0;
    }
    UINT SetComboBoxCell(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r, const CStringList& options) override
    {
        Record("combo", t, l, b, r);
        calls.back().options = ToVector(options);
        return 0;
    }
    UINT SetHotspotCell(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) override { return Record("hotspot", t, l, b, r); }
    UINT SetCheckboxCell(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) override { return Record("checkbox", t, l, b, r); }
    UINT GetCellText(ROWCOL nRow, ROWCOL nCol, CString& strText) override
    {
        strText = cells[{nRow, nCol}].c_str();
        return 0;
    }
    ROWCOL GetRowCount() override { return rowCount; }
    UINT SetCellValue(ROWCOL nRow, ROWCOL nCol, const CString& strText) override
    {
        cells[{nRow, nCol}] = strText.GetString();
        Record("value", nRow, nCol, nRow, nCol);
        calls.back().text = strText.GetString();
        return 0;
    }
    void NoteGroupActionOutcome(const GroupActionOutcome& told) override { outcomes.push_back(told); }
    UINT FindRowOfPage(const CGXRangeList*, CPageNode* pPage, ROWCOL& nRow) override
    {
        auto it = pageRows.find(pPage);
        if (it == pageRows.end())
            return 1;
        nRow = it->second;
        return 0;
    }

    std::vector<CellCall> calls;
    std::map<std::pair<ROWCOL, ROWCOL>, std::string> cells;
    std::map<CPageNode*, ROWCOL> pageRows;
    ROWCOL rowCount = 0;
    std::vector<GroupActionOutcome> outcomes;

private:
    UINT Record(const char* op, ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r)
    {
        calls.push_back(CellCall{op, t, l, b, r, {}, {}});
        return 0;
    }
};

// The catalogue editor's grid.
class FakeSettingsGrid : public IGridWndWrapper {
public:
    ROWCOL GetAttributesColumn() const override { return attributesColumn; }
    UINT SetStaticCell(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) override { return Record("static", t, l, b, r, ""); }
    UINT SetCellValue(ROWCOL nRow, ROWCOL nCol, const CString& strText) override
    {
        cells[{nRow, nCol}] = strText.GetString();
        return Record("value", nRow, nCol, nRow, nCol, strText.GetString());
    }
    UINT SetPushbuttonCell(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r, const CString& strCaption) override
    {
        return Record("button", t, l, b, r, strCaption.GetString());
    }
    UINT SetEditCell(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r, const CString& strText) override
    {
        cells[{t, l}] = strText.GetString();
        return Record("edit", t, l, b, r, strText.GetString());
    }
    UINT GetCellText(ROWCOL nRow, ROWCOL nCol, CString& strText) override
    {
        strText = cells[{nRow, nCol}].c_str();
        return 0;
    }

    ROWCOL attributesColumn = 4;
    std::vector<CellCall> calls;
    std::map<std::pair<ROWCOL, ROWCOL>, std::string> cells;

private:
    UINT Record(const char* op, ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r, const std::string& text)
    {
        calls.push_back(CellCall{op, t, l, b, r, text, {}});
        return 0;
    }
};

// Dialogs answering with scripted results; every call is logged by name.
class FakeDialogs : public IMetaDialogs {
public:
    void ShowMessage(UINT nID, const CString& strText) override
    {
        log.push_back("message");
        messageIds.push_back(nID);
        messages.push_back(strText.GetString());
    }
    void ShowError(const CString& strText) override
    {
        log.push_back("error");
        messages.push_back(strText.GetString());
    }
    // The file dialogs choose chosenFile, or are cancelled while it is empty.
    BOOL AskOpenFileName(LPCTSTR, LPCTSTR, CString& strPath) override;
    BOOL EditOptionList(CStringListWrapper& options) override;
    BOOL EditMultiSelOptions(CStringListWrapper& options, UINT& bAllowModify, CString& strSeparator) override;
    BOOL SelectMultiSelValue(CMetaComboMultiSelSetting& setting, CMetaContent& content, BOOL& bChanged) override;
    BOOL DefineClassification(CDoubleLinkNodeCol& tree) override;
    BOOL SelectClassification(DWORD, const CString& strCurrent, CMetaClassificationSetting&, CString& strPath) override;
    BOOL EditKeywords(DWORD, const CString& strTag, const CMetaContent& content, CString& strText) override;
    BOOL ChooseGroupKeywordsAction(int& nAction) override;
    BOOL EditRefresh(DWORD, const CMetaContent& content, CString& strText) override;
    BOOL EditDate(DWORD, const CString& strSettingName, const CString& strValue, const CString& strFormat, CString& strText) override;

    BOOL answer = TRUE;                   // OK or Cancel for every dialog
    std::vector<std::string> newOptions;  // option lists the user leaves
    std::string text;                     // the value the user leaves
    int groupAction = 0;
    BOOL optionsChanged = FALSE;
    std::vector<std::string> log;
    std::vector<UINT> messageIds;
    std::vector<std::string> messages;
    std::string seenValue, seenFormat, seenTag;
    int presetAction = -1;
    std::string chosenFile;
    std::string proposedFile;
};

// A setting whose tag, when it is composed, waits until the test lets it go: a save is held
// inside the page that has it for as long as the test needs.
class HeldTagSetting : public CMetaEditSetting {
public:
    HeldTagSetting() { SetName("Held"); }
    UINT FormatTag(const CString& strContent, CString& strTag) override
    {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_bEntered = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_bReleased; });
        }
        return CMetaEditSetting::FormatTag(strContent, strTag);
    }
    // Whether a save came to compose the tag; false only where it never came.
    bool WaitUntilEntered()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, kHangGuard, [this] { return m_bEntered; });
    }
    void Release()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bReleased = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bEntered = false;
    bool m_bReleased = false;
};

// Lets a held setting go when the test leaves, however it leaves: a save held in it must not
// outlive the test.
struct HeldTagRelease {
    HeldTagSetting* pSetting;
    ~HeldTagRelease() { pSetting->Release(); }
};

// Installs a fresh application model with fake dialogs for the test's duration.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A scratch folder that is removed after the test.
    std::filesystem::path TempDir();
    // Removes the scratch folder now (a child that leaves with _Exit runs no destructor).
    void RemoveTempDir() { m_tempDir.reset(); }
    // Gives the model a profile of the test's own, under the per-run configuration folder.
    void UseOwnProfile(CProfileStore& profile);

    std::unique_ptr<CVostrelAppModel> m_pModel;
    FakeDialogs m_dialogs;

private:
    std::optional<ScopedTempDir> m_tempDir;
};

} // namespace enginetest
