// One META tag of one page: its name, the value kind of its catalogue setting, its content text
// (items joined by the project's list separator), the scan's suggestions and the edit mark.
#pragma once

#include "engine/meta/CMetaItemIndex.h"
#include "engine/meta/CStringListWrapper.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <memory>

// What the user took for a page whose bytes read two ways under the charset its Content-Type is
// given, where nothing tells which reading is meant: the bytes kept as they are under the new
// declaration, or converted from the charset the page was read in.
enum class CharsetChoice { None, KeepBytes, Convert };

// A choice with what it was taken on: the charset a conversion reads the page in and the
// checksum (CPageChecksum) of the page's bytes, as the Preview showed them read both ways. It
// holds for those bytes alone: a page changed since is asked of again.
struct CharsetWay {
    CharsetChoice choice = CharsetChoice::None;
    CString strSource;
    ULONGLONG nChecksum = 0;
};

class CMetaContent : public CObject {
public:
    CMetaContent() = default;
    ~CMetaContent() override;
    CMetaContent(const CMetaContent&) = delete;
    CMetaContent& operator=(const CMetaContent&) = delete;

    UINT GetModified() const { return m_bModified; }
    // An edit written, or dropped, takes the choice made for it along.
    void SetModified(UINT bModified)
    {
        m_bModified = bModified;
        if (!bModified)
            m_charsetWay = CharsetWay();
    }
    const CString& GetName() const { return m_strName; }
    void SetName(const CString& strName) { m_strName = strName; }
    UINT GetType() const { return m_nType; }
    void SetType(UINT nType) { m_nType = nType; }
    const CString& GetContent() const { return m_strText; }
    // Another text is another edit: the charset choice made for the old one goes.
    void SetContent(const CString& strText);
    // The user's choice for the charset this edited value gives a page in doubt, with what it
    // was taken on; kept with the edit until it is written, dropped or changed.
    CharsetChoice GetCharsetChoice() const { return m_charsetWay.choice; }
    const CharsetWay& GetCharsetWay() const { return m_charsetWay; }
    void SetCharsetWay(const CharsetWay& way) { m_charsetWay = way; }

    // Copies suggestions, type id, text, modified flag, charset way and name.
    void CopyFrom(const CMetaContent& other);

    void AddSuggestion(const CString& strSuggestion) { m_Suggestions.AddTail(strSuggestion); }
    // Replaces the out list's strings with copies of the suggestions; 0.
    UINT GetSuggestions(CStringList& list) const;
    UINT GetValueList(CStringList& list) const { return GetSuggestions(list); }
    const CStringListWrapper& Suggestions() const { return m_Suggestions; }

    // Empties the list and fills it with the text's items cut at any of the separator
    // characters, empty items skipped; 0 when the text is not empty, 1 when it is.
    UINT SplitText(LPCTSTR lpszSeparators, CStringList& list) const;
    // The text as a list: its items cut at each whole occurrence of the list separator without
    // the blanks around it (with ", " the texts "red apple, pear" and "red apple,pear" hold the
    // two items "red apple" and "pear"), each without the blanks around it, empty items
    // skipped; 0 when the text is not empty, 1 when it is.
    UINT SplitContent(LPCTSTR lpszSeparator, CStringList& list) const;
    // What the separator cuts a list at: the separator without the blanks around it (", "
    // cuts at ","), or the separator itself when it is all blanks; "," for an empty one. An
    // item that holds it is read back from the page as several.
    static CString ListCut(const CString& strSeparator);
    // SplitContent of any text; an empty separator counts as ",".
    static void SplitList(const CString& strText, const CString& strSeparator, CStringList& items);
    // Whether two texts hold the same items in the same order, cut at the separator (the
    // project's list separator when none is given).
    static BOOL SameItems(const CString& strFirst, const CString& strSecond, LPCTSTR lpszSeparator = nullptr);

    // Appends the item with the project's list separator unless an equal item (case counting,
    // the blanks around it not) is already there; 0 when added, 1 when it was there.
    UINT AddItem(const CString& strItem);
    // Whether the text holds the whole value already: the value is the text itself, or each of
    // its items (cut at the list separator, blanks around them not counting) is one of the
    // text's items. A value without items is held. A page that repeats a tag, or repeats a value
    // in a second tag of the same name, gives that value once.
    BOOL HoldsValue(const CString& strValue) const;
    // Empties the text and adds every suggestion as an item; 0, or 3 when there is none.
    UINT ResetToSuggestions();

    // The project's list separator, "," when no project is open.
    static CString GetListSeparator();
    // Lets go of what AddItem and HoldsValue keep to find the text's items quickly: a page read
    // whole adds no more items to its contents, and the views only read them.
    void DropItemIndex() { m_pItems.reset(); }

private:
    UINT m_bModified = 0;
    CString m_strName;
    UINT m_nType = 0;
    CStringListWrapper m_Suggestions;
    CString m_strText;
    CharsetWay m_charsetWay;

    // The items of the text cut at the separator, kept up as AddItem appends to it; made again
    // when the text is set or the separator changes.
    const CMetaItemIndex& Items(const CString& strSeparator) const;
    mutable std::unique_ptr<CMetaItemIndex> m_pItems;
};
