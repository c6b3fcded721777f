#include "engine/html/CHtmlParser.h"

#include "engine/html/CAction.h"
#include "engine/html/CAnchorAction.h"
#include "engine/html/CTagTable.h"
#include "engine/html/CTranslatingFile.h"
#include "engine/html/IHtmlParserSink.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <strings.h>

IMPLEMENT_DYNAMIC(CHtmlParser, CHtmlLexer)

CHtmlParser::CHtmlParser(IHtmlParserSink* pSink, CFile* pInput, BOOL bJavaScript, BOOL bVBScript, int nEventScriptMode)
    : CHtmlLexer(pInput, nullptr)
    , m_pSink(pSink)
    , m_bJavaScript(bJavaScript)
    , m_bVBScript(bVBScript)
    , m_nEventScriptMode(nEventScriptMode)
{
}

// An element still open at the end of the input is dropped without reporting: its end never
// came, and a stop request must not produce reports after it.
CHtmlParser::~CHtmlParser() = default;

int CHtmlParser::Parse()
{
    return Lex();
}

namespace {

template <size_t N>
bool IsTagName(LPCSTR pszName, int nLength, const char (&name)[N])
{
    return nLength == static_cast<int>(N - 1) && std::memcmp(pszName, name, N - 1) == 0;
}

} // namespace

void CHtmlParser::OnStartTag(LPCSTR pszName, int nLength)
{
    // A tag left unfinished has had its chance; so that the attributes of an unknown tag go
    // nowhere, it is dropped for unknown names too.
    m_pCurrentTag.reset();
    const TagEntry* pEntry = FindTagEntry(pszName, nLength);
    m_pPendingEntry = (pEntry != nullptr && pEntry->m_pActionClass != nullptr) ? pEntry : nullptr;
    if (!m_bBodyStartSeen) {
        m_bHtmlStartSeen |= IsTagName(pszName, nLength, "HTML");
        m_bHeadStartSeen |= IsTagName(pszName, nLength, "HEAD");
        m_bBodyStartSeen = IsTagName(pszName, nLength, "BODY");
    }
    m_titleScope.OnStartTag(pszName, nLength);
    m_bSlashBeforeTagEnd = FALSE;
    if (!m_titleScope.IsPageTitleHere() && m_pPendingEntry != nullptr
        && m_pPendingEntry->m_pActionClass == RUNTIME_CLASS(CTitleAction))
        m_pPendingEntry = nullptr;
}

void CHtmlParser::OnMarkup(LPCSTR pszText, int nLength)
{
    // In a start tag, markup is a "/" or blanks; a "/" followed by nothing but blanks closes it.
    if (nLength == 1 && pszText[0] == '/')
        m_bSlashBeforeTagEnd = TRUE;
    else if (nLength > 0 && pszText[0] != ' ' && pszText[0] != '\t' && pszText[0] != '\r' && pszText[0] != '\n')
        m_bSlashBeforeTagEnd = FALSE;
}

CAction* CHtmlParser::CurrentTag()
{
    // The action is made when the tag needs it: at its first attribute, or at its end. Most
    // tags of a page are plain P, TD or B tags without attributes, whose default action would
    // have nothing to do.
    if (m_pCurrentTag || m_pPendingEntry == nullptr)
        return m_pCurrentTag.get();
    const TagEntry* pEntry = std::exchange(m_pPendingEntry, nullptr);
    CObject* pObject = pEntry->m_pActionClass->CreateObject();
    if (pObject == nullptr)
        return nullptr;
    CAction* pAction = DYNAMIC_DOWNCAST(CAction, pObject);
    if (pAction == nullptr) {
        delete pObject;
        return nullptr;
    }
    m_pCurrentTag.reset(pAction);
    pAction->Attach(this, pEntry);
    return pAction;
}

void CHtmlParser::OnAttrName(LPCSTR pszName, int nLength)
{
    m_bSlashBeforeTagEnd = FALSE;
    if (CAction* pTag = CurrentTag())
        pTag->SetAttrName(pszName, nLength);
}

void CHtmlParser::OnAttrNoValue(LPCSTR pszName, int nLength)
{
    m_bSlashBeforeTagEnd = FALSE;
    if (CAction* pTag = CurrentTag())
        pTag->AddAttrNoValue(pszName, nLength);
}

void CHtmlParser::OnAttrTokenValue(LPCSTR pszValue, int nLength)
{
    if (CAction* pTag = CurrentTag())
        pTag->SetAttrValue(pszValue, nLength);
}

void CHtmlParser::OnAttrValue(LPCSTR pszValue, int nLength)
{
    if (CAction* pTag = CurrentTag())
        pTag->SetAttrValue(pszValue, nLength);
}

void CHtmlParser::ClearValueText()
{
    // The value is not gathered here first: a value of megabytes (a picture written into the
    // page) would be held twice.
    if (CAction* pTag = CurrentTag())
        pTag->BeginAttrValue();
}

void CHtmlParser::AppendValueText(LPCSTR pszText, int nLength)
{
    // A value the stop cut off never reaches a report: what is held of it is not added to,
    // which would keep the stop waiting.
    if (!m_bStopSeen && m_pCurrentTag)
        m_pCurrentTag->AppendAttrValue(pszText, nLength);
}

void CHtmlParser::FlushValueText()
{
    if (CAction* pTag = CurrentTag())
        pTag->EndAttrValue();
}

void CHtmlParser::FinishOpenElement()
{
    // Taken out first, so that the element is gone from the parser whatever its reports do.
    std::unique_ptr<CAction> pElement = std::move(m_pOpenElement);
    if (pElement)
        pElement->ReportLinks();
}

void CHtmlParser::OnTagEnd()
{
    m_titleScope.OnTagEnd(m_bSlashBeforeTagEnd);
    // The default action of a tag without attributes reports nothing: it is not made at all.
    if (!m_pCurrentTag && m_pPendingEntry != nullptr && m_pPendingEntry->m_pActionClass != RUNTIME_CLASS(CDefaultAction))
        CurrentTag();
    m_pPendingEntry = nullptr;
    std::unique_ptr<CAction> pAction = std::move(m_pCurrentTag);
    if (!pAction)
        return;
    if (pAction->OnTagComplete())
        return;
    // The new element waits for its text or its end tag; the one open before it ends here.
    FinishOpenElement();
    m_pOpenElement = std::move(pAction);
}

void CHtmlParser::OnEndTag(LPCSTR pszName, int nLength)
{
    m_titleScope.OnEndTag(pszName, nLength);
    if (!m_bBodyStartSeen && IsTagName(pszName, nLength, "HEAD"))
        m_bHeadEndSeen = TRUE;
    if (m_pOpenElement && m_pOpenElement->IsSameTag(pszName, nLength))
        FinishOpenElement();
    if (HasForm() && nLength == 4 && memcmp(pszName, "FORM", 4) == 0)
        OnFormEnd();
}

void CHtmlParser::OnText(LPCSTR pszText, int nLength)
{
    if (m_pOpenElement && m_pOpenElement->IsCollectingText())
        m_pOpenElement->AppendText(pszText, nLength);
}

void CHtmlParser::OnWhitespace(LPCSTR, int)
{
    if (m_pOpenElement && m_pOpenElement->IsCollectingText())
        m_pOpenElement->AddTextSeparator();
}

void CHtmlParser::OnScriptStart()
{
    m_bInJavaScript = FALSE;
    m_bInVBScript = FALSE;
    m_strScriptText.clear();
}

void CHtmlParser::OnScriptText(LPCSTR pszText, int nLength)
{
    if ((!m_bInJavaScript && !m_bInVBScript) || pszText == nullptr || nLength <= 0)
        return;
    // The script goes out as a NUL-terminated text: a NUL of the page is dropped.
    const char* p = pszText;
    const char* pEnd = pszText + nLength;
    while (p < pEnd && m_strScriptText.size() < kLongestScriptHeld) {
        const void* pNul = std::memchr(p, '\0', static_cast<size_t>(pEnd - p));
        const char* pStop = pNul != nullptr ? static_cast<const char*>(pNul) : pEnd;
        m_strScriptText.append(p, std::min(static_cast<size_t>(pStop - p), kLongestScriptHeld - m_strScriptText.size()));
        p = pStop + (pNul != nullptr ? 1 : 0);
    }
}

void CHtmlParser::OnScriptEnd()
{
    if (m_bJavaScript && m_bInJavaScript)
        OnJavaScript(m_strScriptText.c_str());
    else if (m_bVBScript && m_bInVBScript)
        OnVBScript(m_strScriptText.c_str());
    m_strScriptText.clear();
}

int CHtmlParser::ReadInput(LPSTR pBuffer, int nMax)
{
    if (m_pSink != nullptr && m_pSink->IsStopRequested()) {
        m_bStopSeen = true;
        return 0;
    }
    int nRead = CHtmlLexer::ReadInput(pBuffer, nMax);
    if (nRead > 0) {
        // The count saturates rather than wrapping on a page of 4 GB or more.
        DWORD nAdd = static_cast<DWORD>(nRead);
        m_nBytesRead = (m_nBytesRead > 0xFFFFFFFFu - nAdd) ? 0xFFFFFFFFu : m_nBytesRead + nAdd;
        if (m_pSink != nullptr)
            m_pSink->AddKeywordText(pBuffer, nRead);
    }
    return nRead;
}

CHtmlParser::PageFrame CHtmlParser::GetPageFrame() const
{
    if (!m_bHtmlStartSeen)
        return PageFrame::NoHtmlStart;
    if (!m_bHeadStartSeen)
        return PageFrame::NoHeadStart;
    return m_bHeadEndSeen ? PageFrame::Whole : PageFrame::NoHeadEnd;
}

DWORD CHtmlParser::GetBytesRead() const
{
    if (const auto* pTranslating = dynamic_cast<const CTranslatingFile*>(m_pInputFile); pTranslating != nullptr)
        return static_cast<DWORD>(std::min<ULONGLONG>(pTranslating->GetSourceBytes(), 0xFFFFFFFFu));
    return m_nBytesRead;
}

void CHtmlParser::OnLink(LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags, int nWidth, int nHeight)
{
    if (lpszUrl == nullptr)
        return;
    static constexpr char szJavaScript[] = "javascript:";
    constexpr size_t nPrefix = sizeof(szJavaScript) - 1;
    if (strncasecmp(lpszUrl, szJavaScript, nPrefix) == 0) {
        OnJavaScript(lpszUrl + nPrefix);
        return;
    }
    if (m_pSink != nullptr)
        m_pSink->ReportLink(lpszUrl, lpszDescription != nullptr ? lpszDescription : "", nLinkKind, dwFlags, nWidth, nHeight);
}

void CHtmlParser::OnCodebaseLink(LPCSTR lpszCodebase, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind,
    DWORD dwFlags, int nWidth, int nHeight)
{
    if (m_pSink != nullptr)
        m_pSink->ReportCodebaseLink(lpszCodebase != nullptr ? lpszCodebase : "", lpszUrl != nullptr ? lpszUrl : "",
            lpszDescription != nullptr ? lpszDescription : "", nLinkKind, dwFlags, nWidth, nHeight);
}

void CHtmlParser::OnTitle(LPCSTR lpszTitle)
{
    if (std::exchange(m_bTitleSeen, TRUE) || lpszTitle == nullptr || *lpszTitle == '\0')
        return;
    if (m_pSink != nullptr)
        m_pSink->OnTitle(lpszTitle);
}

void CHtmlParser::OnAnchor(LPCSTR lpszName)
{
    if (m_pSink != nullptr)
        m_pSink->OnAnchor(lpszName);
}

void CHtmlParser::OnBase(LPCSTR lpszHref)
{
    if (m_pSink != nullptr)
        m_pSink->OnBase(lpszHref);
}

void CHtmlParser::OnExtraLink(LPCSTR lpszCodebase, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind,
    DWORD dwFlags, int nWidth, int nHeight)
{
    if (m_pSink != nullptr)
        m_pSink->OnExtraLink(lpszCodebase, lpszUrl, lpszDescription, nLinkKind, dwFlags, nWidth, nHeight);
}

void CHtmlParser::OnAuthor(LPCSTR lpszAuthor)
{
    if (m_pSink != nullptr)
        m_pSink->OnAuthor(lpszAuthor);
}

void CHtmlParser::OnKeyword(LPCSTR lpszKeyword)
{
    if (m_pSink != nullptr)
        m_pSink->OnKeyword(lpszKeyword);
}

void CHtmlParser::OnDescription(LPCSTR lpszDescription)
{
    if (m_pSink != nullptr)
        m_pSink->OnDescription(lpszDescription);
}

void CHtmlParser::OnOtherMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme)
{
    if (m_pSink != nullptr)
        m_pSink->OnOtherMeta(lpszName, lpszContent, lpszScheme);
}

void CHtmlParser::OnLastModified(LONG nTime)
{
    if (m_pSink != nullptr)
        m_pSink->OnLastModified(nTime);
}

void CHtmlParser::OnNamedMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme)
{
    if (m_pSink != nullptr)
        m_pSink->OnNamedMeta(lpszName, lpszContent, lpszScheme);
}

void CHtmlParser::OnHttpEquivMeta(LPCSTR lpszName, LPCSTR lpszContent)
{
    if (m_pSink != nullptr)
        m_pSink->OnHttpEquivMeta(lpszName, lpszContent);
}

void CHtmlParser::OnJavaScript(LPCSTR)
{
}

void CHtmlParser::OnVBScript(LPCSTR)
{
}

void CHtmlParser::OnFormStart(LPCSTR lpszName)
{
    OnFormEnd();
    m_pFormContext = std::make_unique<CFormContext>(lpszName);
}

void CHtmlParser::OnFormField(LPCSTR lpszText, int nLength)
{
    if (m_pFormContext)
        m_pFormContext->AddField(lpszText, nLength);
}

void CHtmlParser::OnFormEnd()
{
    std::unique_ptr<CFormContext> pForm = std::move(m_pFormContext);
    if (pForm && m_pSink != nullptr)
        m_pSink->OnFormEnd(pForm->GetName(), pForm->GetChecksum());
}

BOOL CHtmlParser::HasForm()
{
    return m_pFormContext != nullptr;
}

void CHtmlParser::SetOpenElementDescription(LPCSTR lpszDescription)
{
    if (m_pOpenElement)
        m_pOpenElement->SetDescription(lpszDescription);
}

void CHtmlParser::MarkOpenElementServerMap()
{
    if (m_pOpenElement)
        m_pOpenElement->MarkServerMap();
}
