#include "engine/project/CScanOptions.h"

IMPLEMENT_DYNCREATE(CScanOptions, CSaveOptions)

namespace {

void CopyList(CStringList& target, const CStringList& source)
{
    target.RemoveAll();
    POSITION pos = source.GetHeadPosition();
    while (pos != nullptr)
        target.AddTail(source.GetNext(pos));
}

} // namespace

CScanOptions::CScanOptions()
{
    Exchange(modeDefaults, nullptr, 0);
    // Added at the head when missing, so the page pattern ends up first.
    for (LPCTSTR pszPattern : {kDllPattern, kPagePattern}) {
        if (m_IncludePatterns.Find(pszPattern) == nullptr)
            m_IncludePatterns.AddHead(pszPattern);
    }
}

CScanOptions::CScanOptions(const CScanOptions& other) : CSaveOptions(other)
{
    CopyFrom(other);
}

CScanOptions& CScanOptions::operator=(const CScanOptions& other)
{
    if (this != &other)
        CopyFrom(other);
    return *this;
}

void CScanOptions::CopyFrom(const CScanOptions& other)
{
    m_nMaxSubDirDepth = other.m_nMaxSubDirDepth;
    m_bUsingFrontPage = other.m_bUsingFrontPage;
    m_nExtractorBeta1000 = other.m_nExtractorBeta1000;
    m_bAutoInclude = other.m_bAutoInclude;
    m_bAutoLowercase = other.m_bAutoLowercase;
    m_strAutoStrip = other.m_strAutoStrip;
    m_bDisabledAccessibility = other.m_bDisabledAccessibility;
    m_bJavaScript = other.m_bJavaScript;
    m_bVBScript = other.m_bVBScript;
    m_bReportAnchors = other.m_bReportAnchors;
    m_bCollectKeywords = other.m_bCollectKeywords;
    m_bReportMeta = other.m_bReportMeta;
    m_bReportDescription = other.m_bReportDescription;
    m_bReportLinks = other.m_bReportLinks;
    m_bIgnoreScriptType = other.m_bIgnoreScriptType;
    m_nMaxDepth = other.m_nMaxDepth;
    CopyList(m_IncludePatterns, other.m_IncludePatterns);
    CopyList(m_ExcludePatterns, other.m_ExcludePatterns);
}

BOOL CScanOptions::Exchange(UINT nMode, LPCTSTR lpszFileName, DWORD_PTR)
{
    BOOL bOk = TRUE;
    const auto keep = [&bOk](BOOL bResult) { bOk = bOk && bResult; };
    const LPCTSTR s = kSection;
    const LPCTSTR f = lpszFileName;
    keep(ExchangeInt(nMode, s, "MaxSubDirDepth", m_nMaxSubDirDepth, 0x7fffffff, f));
    keep(ExchangeFlag(nMode, s, "UsingFrontPage", m_bUsingFrontPage, 0, f));
    keep(ExchangeInt(nMode, s, "ExtractorBeta1000", m_nExtractorBeta1000, 1000, f));
    keep(ExchangeFlag(nMode, s, "AutoInclude", m_bAutoInclude, 1, f));
    keep(ExchangeFlag(nMode, s, "AutoLowercase", m_bAutoLowercase, 1, f));
    keep(ExchangeString(nMode, s, "AutoStrip", m_strAutoStrip, "", f));
    keep(ExchangeFlag(nMode, s, "DisabledAccessibility", m_bDisabledAccessibility, 0, f));
    keep(ExchangeFlag(nMode, s, "JavaScript", m_bJavaScript, 0, f));
    keep(ExchangeFlag(nMode, s, "VBScript", m_bVBScript, 0, f));
    return bOk;
}
