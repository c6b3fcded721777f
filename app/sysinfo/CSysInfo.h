// CSysInfo: the system information report, a title and a list of name and value items about the
// machine, the system and the libraries the program runs on, for the user to quote to support.
#pragma once

#include "app/sysinfo/ISysInfoSource.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <memory>
#include <vector>

class CStringList;
class CWnd;

// One line of the report; an item without a value is a heading.
class CSysInfoItem : public CObject {
public:
    CSysInfoItem(const CString& strName, const CString& strValue) : m_strName(strName), m_strValue(strValue) {}
    CString m_strName;
    CString m_strValue;
};

class CSysInfo : public CObject {
public:
    // Builds the report: the items of the item list ("name:value" pairs separated by ","),
    // the machine's facts, then the program's libraries and the extra ones (file names) with
    // their versions. Without a source the running system answers.
    CSysInfo(const CString& strTitle, const CString& strItemList, const CStringList* pExtraFiles,
             ISysInfoSource* pSource = nullptr);
    ~CSysInfo() override;
    CSysInfo(const CSysInfo&) = delete;
    CSysInfo& operator=(const CSysInfo&) = delete;

    // The report's text: the title, then "    name:\tvalue" per item and the headings alone,
    // each line ending in "\r\n".
    CString GetText() const;
    // The tab stop, in dialog units, at which the values stand in the edit: 80, or past the
    // widest name in the edit's font.
    int TabStopFor(CWnd* pEdit) const;
    // Puts the text into a multi-line edit over its selection, with a tab stop at 80 dialog
    // units so that the values line up.
    void WriteToEdit(CWnd* pEdit) const;

    const std::vector<std::unique_ptr<CSysInfoItem>>& GetItems() const { return m_Items; }

    // A byte count as the report shows it: "%.2f MBytes", "%.2f KBytes" or "%u Bytes".
    static CString FormatSize(ULONGLONG nBytes);

private:
    void AddItem(const CString& strName, const CString& strValue);
    void AddItemList(const CString& strItemList);
    void AddMachineFacts(ISysInfoSource& source);
    void AddLibrary(const SysInfoLibrary& library);

    CString m_strTitle;
    std::vector<std::unique_ptr<CSysInfoItem>> m_Items;
};
