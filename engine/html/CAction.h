// The base of the tag actions: one object per recognised start tag, which collects the tag's
// attributes and, when the tag or its element is complete, reports its links, anchors and form
// fields through the parser. It is also the action of the tags that need nothing more.
#pragma once

#include "engine/html/SmallVector.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <string_view>

class CHtmlParser;
struct TagEntry;

class CAction : public CObject {
    DECLARE_DYNCREATE(CAction)
public:
    CAction() = default;
    ~CAction() override = default;
    CAction(const CAction&) = delete;
    CAction& operator=(const CAction&) = delete;

    // Called once by the parser right after creation.
    void Attach(CHtmlParser* pParser, const TagEntry* pEntry);

    // At the tag's ">": nonzero when the action is finished, 0 when it must stay open as the
    // parser's open element to collect text or wait for its end tag.
    virtual BOOL OnTagComplete();
    // TRUE when the name finds this action's row in the tag table.
    virtual BOOL IsSameTag(LPCSTR lpszName, int nLength);
    // Reports the links; run when the element ends, or at once from OnTagComplete.
    virtual void ReportLinks();
    virtual void SetAttrName(LPCSTR lpszName, int nLength);
    virtual void SetAttrValue(LPCSTR lpszValue, int nLength);
    // A value that comes in pieces (a quoted one) is stored under the pending name piece by
    // piece, so that it is never held whole anywhere else.
    void BeginAttrValue();
    void AppendAttrValue(LPCSTR lpszText, int nLength);
    void EndAttrValue();
    virtual void AddAttrNoValue(LPCSTR lpszName, int nLength);
    virtual BOOL IsCollectingText();
    virtual int GetMaxDescriptionLength();
    virtual void AppendText(LPCSTR lpszText, int nLength);
    virtual void AddTextSeparator();
    virtual void SetDescription(LPCSTR lpszDescription);
    virtual void MarkServerMap();
    virtual void ReportId();
    virtual void ReportScriptAttributes();
    // Adds the tag name and the first nCount named attributes that are present, each name then
    // its value, to the open form's checksum; nothing without an open form.
    virtual void ReportFormFields(const LPCSTR* ppszAttrNames, int nCount);

    const TagEntry* GetTagEntry() const { return m_pEntry; }
    const CString& GetDescription() const { return m_strDescription; }
    // The value of an upper-case attribute name; FALSE when the tag does not have it.
    BOOL GetAttr(LPCSTR lpszName, CString& strValue) const;
    // The same value where the tag keeps it, NUL-terminated, valid as long as the action takes
    // no more attributes; null when the tag does not have it. Values can be megabytes long (a
    // picture written into the page): what is only handed on is not copied.
    LPCSTR GetAttrText(LPCSTR lpszName) const;
    BOOL HasAttr(LPCSTR lpszName) const;
    INT_PTR GetAttrCount() const { return static_cast<INT_PTR>(m_attrs.size()); }

    // A tag keeps at most this many distinct attributes; further new names are dropped, so a
    // hostile tag cannot make the attribute map's lookups quadratic.
    static constexpr int MAX_ATTRIBUTES = 256;
    // A piece of element text longer than this is cut before it is appended to a description,
    // so that one huge word cannot make a huge title or description.
    static constexpr int MAX_TEXT_PIECE = 4096;

    // A CString of page text without its NUL bytes.
    static CString MakeText(LPCSTR lpszText, int nLength);

protected:
    // The value of the first attribute of the null-ended name list that is present, as
    // GetAttrText gives it; null when none is.
    LPCSTR FindFirstAttr(const LPCSTR* ppszNames) const;
    void StartCollecting() { m_bCollectingText = TRUE; }
    // The size flags of an image-like tag: WIDTH and HEIGHT read as a number followed by "%"
    // (given and in percent) or as a number alone (given), each only when the number is at
    // least nMinimum; ALT present. The sizes are -1 when not given.
    DWORD ReadSizeFlags(int nMinimum, int& nWidth, int& nHeight) const;
    // Reports every link attribute of the tag's row that the tag has, in the row's order, all
    // with the same kind, flags and sizes; nothing without a row.
    void ReportEntryLinks(int nLinkKind, DWORD dwFlags, int nWidth, int nHeight);

    // Forwarders to the parser.
    void OnLink(LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags, int nWidth, int nHeight);
    void OnCodebaseLink(LPCSTR lpszCodebase, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind,
        DWORD dwFlags, int nWidth, int nHeight);
    void OnTitle(LPCSTR lpszTitle);
    void OnAnchor(LPCSTR lpszName);
    void OnBase(LPCSTR lpszHref);
    void OnAuthor(LPCSTR lpszAuthor);
    void OnDescription(LPCSTR lpszDescription);
    void OnOtherMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme);
    void OnNamedMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme);
    void OnHttpEquivMeta(LPCSTR lpszName, LPCSTR lpszContent);
    void OnLastModified(LONG nTime);
    // Splits a KEYWORDS content into keywords at "," and ";", trims control characters and
    // punctuation from both ends of each, and reports the non-empty ones.
    void SplitKeywords(LPCSTR lpszContent);
    // Gives the description to the parser's open element.
    void HandDescriptionUp(LPCSTR lpszDescription);
    void MarkOpenElementServerMap();

    CHtmlParser* m_pParser = nullptr;
    const TagEntry* m_pEntry = nullptr;
    BOOL m_bCollectingText = FALSE;
    CString m_strDescription;
    BOOL m_bServerMap = FALSE;

private:
    // An attribute's name and value, as places in the attribute text.
    struct AttrRef {
        uint32_t nName;
        uint32_t nNameLength;
        uint32_t nValue;
        uint32_t nValueLength;
    };

    // Appends page text to the attribute text without its NUL bytes.
    void AddBytes(LPCSTR lpszText, int nLength);
    // Appends page text as AddBytes does, then a NUL; returns where it starts, its length in
    // nStored.
    uint32_t AddText(LPCSTR lpszText, int nLength, uint32_t& nStored);
    std::string_view NameOf(const AttrRef& ref) const { return {m_attrText.data() + ref.nName, ref.nNameLength}; }
    const AttrRef* FindAttr(std::string_view name) const;
    void StoreAttr(uint32_t nName, uint32_t nNameLength, uint32_t nValue, uint32_t nValueLength);

    // The tag's attributes in the order they came, all their text in one string, each name and
    // value NUL-terminated: a tag costs no allocation per attribute, and a lookup is a short scan.
    SmallVector<char, 192> m_attrText;
    SmallVector<AttrRef, 8> m_attrs;
    uint32_t m_nPendingName = 0;
    uint32_t m_nPendingNameLength = 0; // 0: no attribute name waits for its value
    uint32_t m_nValueStart = 0;        // where the value coming in pieces starts
    bool m_bValueOpen = false;         // a value is coming in pieces for the pending name
};

// The action of the tags without links: reports the ID and event attributes, then is done.
class CDefaultAction : public CAction {
    DECLARE_DYNCREATE(CDefaultAction)
public:
    BOOL OnTagComplete() override;
};
