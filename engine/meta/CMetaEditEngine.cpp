#include "engine/meta/CMetaEditEngine.h"

#include "engine/html/HtmlEntities.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "engine/project/OutputAreaLine.h"
#include "platform/core/CException.h"
#include "platform/core/CFile.h"
#include "platform/core/ResourceTable.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

IMPLEMENT_DYNAMIC(CMetaEditEngine, CHtmlLexer)

namespace {

// Output is gathered up to this size before it is written.
constexpr size_t kWriteChunk = 64 * 1024;
constexpr UINT kMaxErrorText = 1024;
// As much of the page as the scan looks at to find its charset.
constexpr int kCharsetSample = 2048;

// A tag name is a keyword when it is that keyword in any case, over its whole length.
bool IsName(LPCSTR pszName, int nLength, LPCSTR pszKeyword)
{
    return static_cast<size_t>(nLength) == std::strlen(pszKeyword)
        && strncasecmp(pszName, pszKeyword, static_cast<size_t>(nLength)) == 0;
}

CString MessageOf(CException* e)
{
    char szMessage[kMaxErrorText + 1] = {};
    if (!e->GetErrorMessage(szMessage, kMaxErrorText + 1) || szMessage[0] == '\0')
        return CString("Unknown error message.");
    return CString(szMessage);
}

} // namespace

CString GetMetaEditErrorText(UINT nID)
{
    // The texts are in the engine folder's resources (res/engine.rc).
    if (nID != kIdsMissingHtmlStart && nID != kIdsMissingHeadStart && nID != kIdsMissingHeadEnd)
        return CString();
    char szText[256] = {};
    LoadString(FindResourceModule("engine"), nID, szText, static_cast<int>(sizeof szText));
    return CString(szText);
}

CMetaEditEngine::CMetaEditEngine(CMetaContentList* pContents, CPageNode* pPage, CFile* pInput, CFile* pOutput,
                                 HWND hMessageWnd)
    : CHtmlLexer(pInput, nullptr), m_pPage(pPage), m_hMessageWnd(hMessageWnd), m_pOutput(pOutput),
      m_pInput(pInput), m_pEditedContents(pContents)
{
}

CMetaEditEngine::~CMetaEditEngine() = default;

int CMetaEditEngine::Run()
{
    try {
        Lex();
    } catch (...) {
        // What was copied so far stays in the output, as the caller may want to look at it.
        FlushOutput();
        throw;
    }
    FlushHeld();
    FlushOutput();
    return 0;
}

UINT CMetaEditEngine::GetError(UINT& nID) const
{
    if (!m_bHtmlStartSeen)
        nID = kIdsMissingHtmlStart;
    else if (!m_bHeadStartSeen)
        nID = kIdsMissingHeadStart;
    else if (!m_bHeadEndSeen)
        nID = kIdsMissingHeadEnd;
    else
        return 0;
    return 1;
}

// ---- Writing ----

void CMetaEditEngine::EmitToken()
{
    Emit(GetTokenText(), GetTokenLength());
}

void CMetaEditEngine::Emit(LPCSTR pszText, int nLength)
{
    if (m_bInMeta)
        m_strHeldText.Append(pszText, nLength);
    else
        Put(pszText, nLength);
}

void CMetaEditEngine::Put(LPCSTR pszText, int nLength)
{
    if (m_bInTitle)
        m_strTitleText.Append(pszText, nLength);
    else
        Write(pszText, nLength);
}

void CMetaEditEngine::Write(LPCSTR pszText, int nLength)
{
    if (nLength <= 0)
        return;
    const char* pEnd = pszText + nLength;
    if (std::memchr(pszText, '\n', static_cast<size_t>(nLength)) != nullptr) {
        BOOL bCrLf = FALSE;
        for (const char* p = pszText; p + 1 < pEnd && !bCrLf; ++p)
            bCrLf = p[0] == '\r' && p[1] == '\n';
        m_bLfOnly = bCrLf ? 0 : 1;
    }
    if (m_bWriteFailed)
        return;
    m_buffer.append(pszText, static_cast<size_t>(nLength));
    if (m_buffer.size() >= kWriteChunk)
        FlushOutput();
}

void CMetaEditEngine::FlushOutput()
{
    if (m_buffer.empty() || m_bWriteFailed)
        return;
    std::string data;
    data.swap(m_buffer);
    if (m_pOutput == nullptr) {
        m_bWriteFailed = TRUE;
        return;
    }
    try {
        m_pOutput->Write(data.data(), static_cast<UINT>(data.size()));
    } catch (CException* e) {
        // Once a write failed the copy has a hole: nothing more is written, and the failure is
        // told once rather than for every later event.
        m_bWriteFailed = TRUE;
        ReportWriteFailure(MessageOf(e));
        e->Delete();
    }
}

void CMetaEditEngine::ReportWriteFailure(const CString& strMessage)
{
    if (m_hMessageWnd == nullptr)
        return;
    CString strTitle;
    try {
        strTitle = m_pOutput->GetFileTitle();
    } catch (CException* e) {
        e->Delete();
    }
    PostOutputAreaLine(m_hMessageWnd, strTitle, strMessage);
}

void CMetaEditEngine::FlushHeld()
{
    // An unclosed META tag or TITLE element at the end of the page is copied as it stood.
    if (m_bInMeta) {
        m_bInMeta = 0;
        const CString strHeld = m_strHeldText;
        m_strHeldText.Empty();
        Put(strHeld);
    }
    if (m_bInTitle) {
        m_bInTitle = 0;
        Write(m_strTitleText.GetString(), m_strTitleText.GetLength());
        m_strTitleText.Empty();
    }
}

// ---- Composing ----

CString CMetaEditEngine::ForPage(const CString& strText) const
{
    const std::string bytes = m_charset.Encode(std::string_view(strText.GetString(), static_cast<size_t>(strText.GetLength())));
    return CString(bytes.data(), static_cast<int>(bytes.size()));
}

CString CMetaEditEngine::TitleForPage() const
{
    if (m_pPage == nullptr)
        return CString();
    const CString& strTitle = m_pPage->GetTitle();
    const std::string escaped = EscapeHtml(std::string_view(strTitle.GetString(), static_cast<size_t>(strTitle.GetLength())),
        HtmlEscape::Text);
    return ForPage(CString(escaped.data(), static_cast<int>(escaped.size())));
}

CString CMetaEditEngine::ComposeTag(const CMetaContent& content) const
{
    CString strTag;
    CMetaSetting* pSetting = nullptr;
    if (GetAppModel().GetMetaSettings().FindByName(content.GetName(), pSetting) == 0 && pSetting != nullptr)
        pSetting->FormatTag(content.GetContent(), strTag);
    return ForPage(strTag);
}

void CMetaEditEngine::FinishMetaTag()
{
    // A tag cut short by "<" lost that character to the lexer; it starts the next tag and is
    // written whatever becomes of this one.
    const BOOL bCutByTag = GetTokenLength() == 1 && GetTokenText()[0] == '<';
    const CString strHeld = m_strHeldText;
    m_strHeldText.Empty();
    m_bInMeta = 0;

    CMetaContent* pContent = nullptr;
    if (!m_bHaveKey || m_pEditedContents == nullptr || m_pEditedContents->FindByName(m_strKey, pContent) != 0
        || pContent == nullptr) {
        Put(strHeld);
        return;
    }
    if (pContent->GetModified()) {
        Put(ComposeTag(*pContent));
        pContent->SetModified(0);
    }
    // A content already written once in this page drops any further tag of its name.
    if (bCutByTag)
        Put("<", 1);
}

void CMetaEditEngine::AddPendingTags()
{
    if (m_pEditedContents != nullptr) {
        for (POSITION pos = m_pEditedContents->GetHeadPosition(); pos != nullptr;) {
            CMetaContent* pContent = m_pEditedContents->GetNext(pos);
            if (pContent == nullptr || !pContent->GetModified())
                continue;
            Put(ComposeTag(*pContent) + LineEnd());
            pContent->SetModified(0);
        }
    }
    if (!m_bTitleWritten)
        AddTitle();
}

void CMetaEditEngine::AddTitle()
{
    if (m_pPage == nullptr)
        return;
    if (!m_pPage->GetTitle().IsEmpty()) {
        CString strElement;
        strElement.Format(m_bLowerCase ? "<title>%s</title>" : "<TITLE>%s</TITLE>", TitleForPage().GetString());
        Put(strElement + LineEnd());
        m_bTitleWritten = 1;
    }
    m_pPage->SetTitleModified(0);
}

void CMetaEditEngine::NoteAttributeValue(LPCSTR pszValue, int nLength)
{
    if (!m_bInMeta)
        return;
    // The tag's key is its NAME or HTTP-EQUIV value, wherever the attribute stands and however
    // it is quoted, as the scan reads it.
    if (!m_bHaveKey && (m_strAttrName == "NAME" || m_strAttrName == "HTTP-EQUIV")) {
        m_strKey = CString(pszValue, nLength);
        m_strKey.Trim();
        m_bHaveKey = TRUE;
    }
    m_strAttrName.Empty();
}

// ---- Lexer events ----

void CMetaEditEngine::OnStartTag(LPCSTR pszName, int nLength)
{
    if (nLength > 0) {
        const BOOL bLower = pszName[0] >= 'a' && pszName[0] <= 'z';
        // The first tag of a page sets the case; afterwards only a change of case does.
        if (!m_bCaseKnown || bLower != static_cast<BOOL>(m_bLowerCase)) {
            m_bCaseKnown = TRUE;
            m_bLowerCase = bLower ? 1 : 0;
            CProjectSettings* pSettings = nullptr;
            if (GetAppModel().GetProjectSettings(pSettings) == 0 && pSettings != nullptr)
                pSettings->SetUpperCase(bLower ? 0 : 1);
        }
    }
    if (IsName(pszName, nLength, "HTML")) {
        m_bHtmlStartSeen = 1;
    } else if (IsName(pszName, nLength, "HEAD")) {
        m_bInHead = 1;
        m_bHeadStartSeen = 1;
    } else if (m_bInHead && IsName(pszName, nLength, "META")) {
        m_bInMeta = 1;
        m_strHeldText.Empty();
        m_strAttrName.Empty();
        m_strKey.Empty();
        m_bHaveKey = FALSE;
    } else if (m_bInHead && !m_bInTitle && IsName(pszName, nLength, "TITLE")) {
        // The start tag itself is written; its content is held from the end of the tag on.
        m_bTitleStarting = TRUE;
    }
    EmitToken();
    if (IsName(pszName, nLength, "BODY"))
        SkipRestAfterTag();
}

void CMetaEditEngine::OnAttrName(LPCSTR pszName, int nLength)
{
    if (m_bInMeta) {
        m_strAttrName = CString(pszName, nLength);
        m_strAttrName.MakeUpper();
    }
    EmitToken();
}

void CMetaEditEngine::OnAttrNoValue(LPCSTR, int)
{
    if (m_bInMeta)
        m_strAttrName.Empty();
    EmitToken();
}

void CMetaEditEngine::OnAttrTokenValue(LPCSTR pszValue, int nLength)
{
    NoteAttributeValue(pszValue, nLength);
    EmitToken();
}

void CMetaEditEngine::OnAttrValue(LPCSTR pszValue, int nLength)
{
    NoteAttributeValue(pszValue, nLength);
    EmitToken();
}

void CMetaEditEngine::ClearValueText()
{
    CHtmlLexer::ClearValueText();
    EmitToken(); // the opening quote, as the page has it
}

void CMetaEditEngine::AppendValueText(LPCSTR pszText, int nLength)
{
    // The value is collected decoded for the key; the page's own bytes are copied.
    CHtmlLexer::AppendValueText(pszText, nLength);
    EmitToken();
}

void CMetaEditEngine::FlushValueText()
{
    NoteAttributeValue(m_strValueText.c_str(), static_cast<int>(m_strValueText.size()));
    // The closing quote is copied; a "<" or ">" that cut the value short is the tag's end and
    // is written by OnTagEnd.
    const char ch = GetTokenLength() == 1 ? GetTokenText()[0] : '\0';
    if (ch == '"' || ch == '\'')
        EmitToken();
}

void CMetaEditEngine::OnTagEnd()
{
    if (m_bInMeta) {
        EmitToken();
        FinishMetaTag();
        return;
    }
    Put(GetTokenText(), GetTokenLength());
    if (m_bTitleStarting) {
        m_bTitleStarting = FALSE;
        m_bInTitle = 1;
        m_strTitleText.Empty();
    }
}

void CMetaEditEngine::OnEndTag(LPCSTR pszName, int nLength)
{
    if (m_bInTitle && IsName(pszName, nLength, "TITLE")) {
        m_bInTitle = 0;
        if (m_pPage != nullptr && m_pPage->GetTitleModified()) {
            Put(TitleForPage());
            m_pPage->SetTitleModified(0);
        } else {
            Put(m_strTitleText);
        }
        m_strTitleText.Empty();
        m_bTitleWritten = 1;
    } else if (IsName(pszName, nLength, "HEAD") && !m_bHeadEndSeen) {
        if (m_bInTitle) {
            // A TITLE element left open: its text goes out as it stood, and no second title is
            // added.
            m_bInTitle = 0;
            Put(m_strTitleText);
            m_strTitleText.Empty();
            m_bTitleWritten = 1;
        }
        m_bInHead = 0;
        m_bHeadEndSeen = 1;
        AddPendingTags();
    } else if (IsName(pszName, nLength, "HEAD")) {
        m_bInHead = 0;
    }
    EmitToken();
}

void CMetaEditEngine::OnText(LPCSTR, int)
{
    EmitToken();
}

void CMetaEditEngine::OnWhitespace(LPCSTR, int)
{
    EmitToken();
}

void CMetaEditEngine::OnMarkup(LPCSTR, int)
{
    EmitToken();
}

void CMetaEditEngine::OnStray(LPCSTR, int)
{
    EmitToken();
}

void CMetaEditEngine::OnScriptText(LPCSTR, int)
{
    EmitToken();
}

void CMetaEditEngine::OnUnmatched(LPCSTR, int)
{
    EmitToken();
}

void CMetaEditEngine::CheckSpecialTag(LPCSTR pszName, int nLength)
{
    CString strUpper(pszName, nLength);
    strUpper.MakeUpper();
    CHtmlLexer::CheckSpecialTag(strUpper.GetString(), strUpper.GetLength());
}

void CMetaEditEngine::MakeUpper(LPSTR, int) {}

int CMetaEditEngine::ReadInput(LPSTR pBuffer, int nMax)
{
    if (m_bReadFailed)
        return -1;
    if (m_bCharsetKnown)
        return CHtmlLexer::ReadInput(pBuffer, nMax);
    m_bCharsetKnown = TRUE;
    // The sample must be the bytes the scan judged the page by: short reads are asked again.
    const int nSample = std::min(nMax, kCharsetSample);
    int nTotal = 0;
    while (nTotal < nSample) {
        const int nRead = CHtmlLexer::ReadInput(pBuffer + nTotal, nSample - nTotal);
        if (nRead < 0) {
            // What was read before the failure is still copied; the failure follows it.
            if (nTotal == 0)
                return nRead;
            m_bReadFailed = TRUE;
            break;
        }
        if (nRead == 0)
            break;
        nTotal += std::min(nRead, nSample - nTotal);
    }
    m_charset = CPageCharset::Detect(reinterpret_cast<const BYTE*>(pBuffer), static_cast<UINT>(nTotal));
    return nTotal;
}
