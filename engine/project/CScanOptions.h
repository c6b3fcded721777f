// What the fetch engine scans and reports: depth limits, the keyword-extraction parameter,
// script handling and the report switches; the stored part is exchanged under "ScanOptions".
#pragma once

#include "engine/project/CSaveOptions.h"
#include "platform/core/CPtrList.h"

class CScanOptions : public CSaveOptions {
    DECLARE_DYNCREATE(CScanOptions)
public:
    // Every field at its default; the include patterns hold the two default expressions.
    CScanOptions();
    CScanOptions(const CScanOptions& other);
    CScanOptions& operator=(const CScanOptions& other);
    ~CScanOptions() override = default;

    static constexpr LPCTSTR kSection = "ScanOptions";
    // The default include patterns, first one first.
    static constexpr LPCTSTR kPagePattern = ".*\\.(html?|gif|jpe?g|png|bmp|zip|exe|asp|pl|pdf)(\\?.*)?";
    static constexpr LPCTSTR kDllPattern = ".*\\.dll\\?.*";

    BOOL Exchange(UINT nMode, LPCTSTR lpszFileName, DWORD_PTR dwExtra) override;

    int GetMaxSubDirDepth() const { return m_nMaxSubDirDepth; }
    void SetMaxSubDirDepth(int nDepth) { m_nMaxSubDirDepth = nDepth; }
    BYTE GetUsingFrontPage() const { return m_bUsingFrontPage; }
    void SetUsingFrontPage(BYTE bFrontPage) { m_bUsingFrontPage = bFrontPage != 0 ? 1 : 0; }
    int GetExtractorBeta1000() const { return m_nExtractorBeta1000; }
    void SetExtractorBeta1000(int nBeta1000) { m_nExtractorBeta1000 = nBeta1000; }
    // The keyword-extraction parameter itself.
    double GetExtractorBeta() const { return m_nExtractorBeta1000 / 1000.0; }
    BYTE GetAutoInclude() const { return m_bAutoInclude; }
    BYTE GetAutoLowercase() const { return m_bAutoLowercase; }
    const CString& GetAutoStrip() const { return m_strAutoStrip; }
    // Links marked as server-side image maps are reported only when this is set.
    BYTE GetDisabledAccessibility() const { return m_bDisabledAccessibility; }
    void SetDisabledAccessibility(BYTE bSet) { m_bDisabledAccessibility = bSet != 0 ? 1 : 0; }
    BYTE GetJavaScript() const { return m_bJavaScript; }
    void SetJavaScript(BYTE bSet) { m_bJavaScript = bSet != 0 ? 1 : 0; }
    BYTE GetVBScript() const { return m_bVBScript; }
    void SetVBScript(BYTE bSet) { m_bVBScript = bSet != 0 ? 1 : 0; }

    // The report switches, not stored.
    UINT GetReportAnchors() const { return m_bReportAnchors; }
    void SetReportAnchors(UINT bSet) { m_bReportAnchors = bSet; }
    UINT GetCollectKeywords() const { return m_bCollectKeywords; }
    void SetCollectKeywords(UINT bSet) { m_bCollectKeywords = bSet; }
    UINT GetReportMeta() const { return m_bReportMeta; }
    void SetReportMeta(UINT bSet) { m_bReportMeta = bSet; }
    UINT GetReportDescription() const { return m_bReportDescription; }
    void SetReportDescription(UINT bSet) { m_bReportDescription = bSet; }
    // Clear: the links the parser finds are not reported, for an owner that has no use for
    // them (a link can be megabytes long, a picture written into the page).
    UINT GetReportLinks() const { return m_bReportLinks; }
    void SetReportLinks(UINT bSet) { m_bReportLinks = bSet; }
    // Set: every page is parsed as HTML, whatever its content type.
    UINT GetIgnoreScriptType() const { return m_bIgnoreScriptType; }
    void SetIgnoreScriptType(UINT bSet) { m_bIgnoreScriptType = bSet; }
    int GetMaxDepth() const { return m_nMaxDepth; }
    void SetMaxDepth(int nDepth) { m_nMaxDepth = nDepth; }
    const CStringList& GetIncludePatterns() const { return m_IncludePatterns; }
    CStringList& GetIncludePatterns() { return m_IncludePatterns; }
    const CStringList& GetExcludePatterns() const { return m_ExcludePatterns; }
    CStringList& GetExcludePatterns() { return m_ExcludePatterns; }

private:
    void CopyFrom(const CScanOptions& other);

    int m_nMaxSubDirDepth;
    BYTE m_bUsingFrontPage;
    int m_nExtractorBeta1000;
    BYTE m_bAutoInclude;
    BYTE m_bAutoLowercase;
    CString m_strAutoStrip;
    BYTE m_bDisabledAccessibility;
    BYTE m_bJavaScript;
    BYTE m_bVBScript;

    UINT m_bReportAnchors = 0;
    UINT m_bCollectKeywords = 1;
    UINT m_bReportMeta = 1;
    UINT m_bReportDescription = 1;
    UINT m_bReportLinks = 1;
    UINT m_bIgnoreScriptType = 1;
    int m_nMaxDepth = 0x7fffffff;
    CStringList m_IncludePatterns;
    CStringList m_ExcludePatterns;
};
