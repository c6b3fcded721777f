// A URL held as separate parts with a scheme code: parsed from text, resolved against a base,
// checked, and written back as canonical text. Stored in archives with schema 1.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;

class CUrlString : public CObject {
    DECLARE_SERIAL(CUrlString)
public:
    // One row of the scheme table; the row index is the scheme index.
    struct SchemeEntry {
        LPCTSTR pszScheme;
        UINT nDefaultPort;
        int nSchemeType;     // the internet scheme number, -1 when it has none
        BOOL bHierarchical;  // dot segments are removed and an empty path reads "/"
        BOOL bAlwaysSlashes; // "//" follows the scheme even without a host
    };
    static constexpr UINT kSchemeCount = 12;
    static const SchemeEntry& GetSchemeEntry(UINT nIndex);

    // The reset state: an error "Uninitialized URL".
    CUrlString();
    // Parses the text and resolves it against the base (none: the text stands alone).
    explicit CUrlString(LPCTSTR pszText, const CUrlString* pBase = nullptr);
    CUrlString(const CUrlString& other);
    CUrlString& operator=(const CUrlString& other);
    ~CUrlString() override = default;

    void Reset();
    // Replaces every part by those of the text resolved against the base.
    void Parse(LPCTSTR pszText, const CUrlString* pBase = nullptr);

    // Fields in their stored order; a scheme index outside the table raises badIndex.
    void Serialize(CArchive& ar) override;

    BOOL HasError() const { return m_bError != 0; }
    const CString& GetErrorText() const { return m_strErrorText; }
    // Parsed alone: the path is empty or absolute. Against a base: a relative path was joined to
    // the base's folder.
    BOOL IsResolved() const { return m_bResolved != 0; }
    int GetSchemeType() const { return m_nSchemeType; }
    UINT GetSchemeIndex() const { return m_nSchemeIndex; }
    const CString& GetScheme() const { return m_strScheme; }
    const CString& GetUser() const { return m_strUser; }
    const CString& GetPassword() const { return m_strPassword; }
    const CString& GetHost() const { return m_strHost; }
    UINT GetPort() const { return m_nPort; }
    const CString& GetPath() const { return m_strPath; }
    const CString& GetFragment() const { return m_strFragment; }
    const CString& GetQuery() const { return m_strQuery; }
    const CString& GetParams() const { return m_strParams; }
    void SetPath(const CString& strPath) { m_strPath = strPath; }

    // Scheme, authority and (non-default) port; "/" after them when asked and the scheme is
    // hierarchical.
    CString GetRoot(BOOL bWithSlash) const;
    // The canonical text: root, path, parameters, query and, when asked, "#" and the fragment.
    CString GetUrl(BOOL bWithFragment) const;
    // 1 when a part holds a character that the URL may not hold as it is, else 0.
    BOOL HasInvalidChars() const;

    // The row whose scheme equals the text exactly; 0 when none.
    static UINT FindSchemeEntry(LPCTSTR pszScheme);
    // The first row from 1 on with that scheme type; 0 when none.
    static UINT FindSchemeEntryByType(int nSchemeType);
    // Schemes 1 to 4 (ftp, gopher, http, https) take ports 1 to 65535 only.
    static BOOL IsValidPortForScheme(int nSchemeType, UINT nPort);
    static BOOL IsValidIPv4(UINT n1, UINT n2, UINT n3, UINT n4);
    // Removes "." and "segment/.." parts; ".." above the root stays; empty becomes "/".
    static CString RemoveDotSegments(const CString& strPath);

private:
    void SetError(LPCTSTR pszText);
    void SetScheme(const CString& strScheme);
    void CheckHost();
    const SchemeEntry& Row() const { return GetSchemeEntry(m_nSchemeIndex); }

    UINT m_bError;
    UINT m_bResolved;
    CString m_strErrorText;
    int m_nSchemeType;
    CString m_strScheme;
    CString m_strHost;
    UINT m_nPort;
    CString m_strUser;
    CString m_strPassword;
    CString m_strPath;
    CString m_strFragment;
    CString m_strQuery;
    CString m_strParams;
    UINT m_nSchemeIndex;
};
