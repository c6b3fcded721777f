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
#include "platform/core/CFileException.h"
#include "platform/core/CodePage.h"
#include "platform/core/ResourceTable.h"
#include "platform/core/WinError.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>
#include <strings.h>
#include <utility>
#include <vector>

IMPLEMENT_DYNAMIC(CMetaEditEngine, CHtmlLexer)

namespace {

// Output is gathered up to this size before it is written.
constexpr size_t kWriteChunk = 64 * 1024;
constexpr UINT kMaxErrorText = 1024;
// As much of the page as the scan looks at to find its charset.
constexpr int kCharsetSample = 2048;

// Of the page looked at before it is copied, an input that cannot be read again has at most this
// much held in memory.
constexpr size_t kLookAheadLimit = 16 << 20;
// The pieces the page is read in while it is judged, and while what follows the lexed part is
// copied.
constexpr size_t kReadPiece = 16384;
// Browsers look for a page's declaration of its charset in this much of its start; the scan looks
// as far and further.
constexpr size_t kDeclarationReach = 1024;
// A TITLE element's content is held in memory up to this size, and beside the copy beyond it.
constexpr int kTitleHoldLimit = 32 * 1024;
// Of a TITLE content held beside the copy, the pieces of its spelling go there this many at once.
constexpr size_t kSpellingPieces = 1024;

// The length of UTF-8 text without a character cut off at its end.
size_t WholeCharactersLength(std::string_view text)
{
    size_t i = text.size();
    for (int back = 0; back < 4 && i > 0; ++back, --i) {
        const auto ch = static_cast<unsigned char>(text[i - 1]);
        if (ch < 0x80)
            return text.size();
        if (ch >= 0xC0) {
            const size_t nNeeded = ch >= 0xF0 ? 4 : ch >= 0xE0 ? 3 : 2;
            return text.size() - (i - 1) >= nNeeded ? text.size() : i - 1;
        }
    }
    return text.size();
}

// The first line end of a page given in pieces: LF, CR LF or a lone CR.
class FirstLineEnd {
public:
    void Add(const char* p, size_t n)
    {
        if (m_pszEnd != nullptr || n == 0)
            return;
        if (m_bCrLast) {
            m_pszEnd = p[0] == '\n' ? "\r\n" : "\r";
            return;
        }
        for (size_t i = 0; i < n; ++i) {
            if (p[i] == '\n') {
                m_pszEnd = "\n";
                return;
            }
            if (p[i] == '\r') {
                if (i + 1 < n)
                    m_pszEnd = p[i + 1] == '\n' ? "\r\n" : "\r";
                else
                    m_bCrLast = true;
                return;
            }
        }
    }
    bool IsKnown() const { return m_pszEnd != nullptr; }
    // LF for a page without any.
    LPCSTR Result() const { return m_pszEnd != nullptr ? m_pszEnd : m_bCrLast ? "\r" : "\n"; }

private:
    LPCSTR m_pszEnd = nullptr;
    bool m_bCrLast = false; // the last piece ended in a CR
};

// Where the last line of the text begins: after its last line end, LF, CR LF or a lone CR;
// npos when it holds none.
size_t LastLineStart(const char* p, size_t n)
{
    for (size_t i = n; i > 0; --i)
        if (p[i - 1] == '\n' || p[i - 1] == '\r')
            return i;
    return std::string_view::npos;
}

// Where the text's second line begins: after its first line end, a CR LF taken whole; npos when
// it holds none.
size_t SecondLineStart(const char* p, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == '\n')
            return i + 1;
        if (p[i] == '\r')
            return i + 1 < n && p[i + 1] == '\n' ? i + 2 : i + 1;
    }
    return std::string_view::npos;
}

// Whether the markup after "<?" is the XML declaration.
bool IsXmlDeclaration(std::string_view text)
{
    return text.size() >= 3 && text.substr(0, 3) == "xml"
        && (text.size() == 3 || !(std::isalnum(static_cast<unsigned char>(text[3])) || text[3] == '-' || text[3] == '.'));
}

// Where the value of the markup's attribute pszWord ("encoding", in any case) stands,
// [nStart, nEnd) without its quotes; FALSE when it has no such attribute.
BOOL FindDeclaredValue(const CString& strMarkup, LPCSTR pszWord, int& nStart, int& nEnd)
{
    CString strLower = strMarkup;
    strLower.MakeLower();
    const int nLength = strLower.GetLength();
    auto isBlank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; };
    const int nWord = static_cast<int>(std::strlen(pszWord));
    for (int nAt = strLower.Find(pszWord); nAt >= 0; nAt = strLower.Find(pszWord, nAt + 1)) {
        if (nAt == 0 || !isBlank(strLower[nAt - 1]))
            continue;
        int i = nAt + nWord;
        while (i < nLength && isBlank(strLower[i]))
            ++i;
        if (i >= nLength || strLower[i] != '=')
            continue;
        ++i;
        while (i < nLength && (isBlank(strLower[i]) || strLower[i] == '"' || strLower[i] == '\''))
            ++i;
        int k = i;
        while (k < nLength && !isBlank(strLower[k]) && std::strchr("\"'/>?", strLower[k]) == nullptr)
            ++k;
        nStart = i;
        nEnd = k;
        return TRUE;
    }
    return FALSE;
}

// A tag name is a keyword when it is that keyword in any case, over its whole length.
bool IsNameChar(LPCSTR pszName, int nLength, LPCSTR pszKeyword)
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

CString MessageOfError(DWORD dwError)
{
    CFileException error(CFileException::OsErrorToException(static_cast<LONG>(dwError)), static_cast<LONG>(dwError));
    return MessageOf(&error);
}

// The folder of the output file, where bytes held back go; empty when the output has no path.
CString FolderOf(const CFile* pOutput)
{
    const CString strPath = pOutput != nullptr ? pOutput->GetFilePath() : CString();
    const int nSlash = strPath.ReverseFind('/');
    if (strPath.IsEmpty())
        return CString();
    return nSlash > 0 ? strPath.Left(nSlash) : CString(nSlash == 0 ? "/" : ".");
}

// Every refusal is worded alike: the reason, between what the save then does with the page.
CString RefusalText(const CString& strReason)
{
    if (strReason.IsEmpty())
        return CString();
    return "Not saved: " + strReason + " The page was left as it was, and its edits are kept.";
}

CString UnwritableCharsetReason(const CString& strCharset)
{
    CString strText;
    strText.Format("its Content-Type declares the charset \"%s\", which this program cannot write the page in.",
                   strCharset.GetString());
    return strText;
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

CString GetUnwritableCharsetText(const CString& strCharset)
{
    return RefusalText(UnwritableCharsetReason(strCharset));
}

CString CMetaEditEngine::GetRefusal() const
{
    return RefusalText(m_strRefusalReason);
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
    SetAsideEditsWithoutSetting();
    try {
        Lex();
        if (!m_bStopped)
            CopyRest();
    } catch (...) {
        // What was copied so far stays in the output, as the caller may want to look at it.
        Write(CString());
        if (m_bSeekingTitle)
            EndTitleSearch(TitleLines::Dropped);
        EndDeclarationHold();
        FlushOutput();
        throw;
    }
    // A stopped rewrite leaves its copy as it is: it is of no use.
    if (m_bStopped)
        return 0;
    FlushHeld();
    PlaceTitle();
    Write(CString());
    EndDeclarationHold();
    FlushOutput();
    if (m_bConvert) {
        PlaceRepeatsInPage();
        NoteConversionRefusal();
    }
    NoteDeclarationTakenOut();
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
    // Any token of a start tag but a "/" (and the blanks after it) means the tag does not end
    // in "/>".
    m_bSlashBeforeEnd = FALSE;
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
        HoldTitleText(pszText, nLength);
    else
        Write(pszText, nLength);
}

void CMetaEditEngine::HoldTitleText(LPCSTR pszText, int nLength)
{
    if (nLength <= 0)
        return;
    if (TitleTextInMemory() && m_strTitleText.GetLength() + nLength <= kTitleHoldLimit) {
        m_strTitleText.Append(pszText, nLength);
        return;
    }
    if (m_bWriteFailed)
        return;
    if (TitleTextInMemory()) {
        m_pTitleSpill = std::make_unique<CSpillFile>(FolderOf(m_pOutput));
        m_pTitleSpellingSpill = std::make_unique<CSpillFile>(FolderOf(m_pOutput));
        const CString strHeld = m_strTitleText;
        m_strTitleText.Empty();
        if (!m_pTitleSpill->Append(strHeld.GetString(), static_cast<size_t>(strHeld.GetLength()))) {
            FailHeld(m_pTitleSpill->GetError());
            return;
        }
    }
    if (!m_pTitleSpill->Append(pszText, static_cast<size_t>(nLength)))
        FailHeld(m_pTitleSpill->GetError());
}

void CMetaEditEngine::WriteTitleText()
{
    Write(m_strTitleText.GetString(), m_strTitleText.GetLength());
    m_strTitleText.Empty();
    if (TitleTextInMemory())
        return;
    if (!m_bWriteFailed && !m_pTitleSpill->TakeAll([this](const char* p, size_t n) { Write(p, static_cast<int>(n)); })
        && !m_bWriteFailed)
        FailHeld(m_pTitleSpill->GetError());
    m_pTitleSpill.reset();
    m_pTitleSpellingSpill.reset();
}

int CMetaEditEngine::TitleTextLength() const
{
    const ULONGLONG nSpilled = TitleTextInMemory() ? 0 : m_pTitleSpill->GetSize();
    return static_cast<int>(nSpilled + static_cast<ULONGLONG>(m_strTitleText.GetLength()));
}

void CMetaEditEngine::NoteTitleSpelling(LPCSTR pszRead, int nRead, BOOL bSpace)
{
    if (bSpace)
        m_titleSpelling.AddSpace(TitleTextLength(), nRead);
    else
        NoteSpelling(m_titleSpelling, TitleTextLength(), pszRead, nRead);
    if (TitleTextInMemory() || m_titleSpelling.GetCount() < kSpellingPieces || m_bWriteFailed)
        return;
    std::string saved;
    m_titleSpelling.Save(saved);
    m_titleSpelling.Clear();
    if (!m_pTitleSpellingSpill->Append(saved.data(), saved.size()))
        FailHeld(m_pTitleSpellingSpill->GetError());
}

BOOL CMetaEditEngine::TakeTitleBack()
{
    if (TitleTextInMemory())
        return TRUE;
    if (m_bWriteFailed)
        return FALSE;
    // The pieces held beside the copy come before those in memory.
    std::string saved;
    BOOL bTaken = m_pTitleSpellingSpill->TakeAll([&saved](const char* p, size_t n) { saved.append(p, n); });
    m_titleSpelling.Save(saved);
    CKeptSpelling spelling;
    bTaken = bTaken && spelling.AddSaved(saved);
    saved = std::string();
    m_titleSpelling = std::move(spelling);
    bTaken = bTaken && m_pTitleSpill->TakeAll([this](const char* p, size_t n) {
        m_strTitleText.Append(p, static_cast<int>(n));
    });
    if (!bTaken) {
        const DWORD dwError = m_pTitleSpill->GetError() != 0 ? m_pTitleSpill->GetError() : m_pTitleSpellingSpill->GetError();
        FailHeld(dwError != 0 ? dwError : ERROR_READ_FAULT);
    }
    m_pTitleSpill.reset();
    m_pTitleSpellingSpill.reset();
    return bTaken;
}

void CMetaEditEngine::FailHeld(DWORD dwError)
{
    // The copy would have a hole: as with a failed write, nothing more is written.
    m_bWriteFailed = TRUE;
    m_dwHeldError = dwError;
    ReportWriteFailure(MessageOfError(m_dwHeldError));
}

void CMetaEditEngine::Write(LPCSTR pszText, int nLength)
{
    // Whatever comes after a removed tag on its line keeps the line, and its blanks with it.
    m_nDropFrom = -1;
    if (!m_strHeldSpace.IsEmpty()) {
        const CString strSpace = m_strHeldSpace;
        m_strHeldSpace.Empty();
        WriteOut(strSpace.GetString(), strSpace.GetLength());
    }
    WriteOut(pszText, nLength);
}

void CMetaEditEngine::WriteOut(LPCSTR pszText, int nLength)
{
    if (nLength <= 0)
        return;
    const char* pEnd = pszText + nLength;
    const char* pLine = pszText;
    if (const size_t nLine = LastLineStart(pszText, static_cast<size_t>(nLength)); nLine != std::string_view::npos) {
        pLine = pszText + nLine;
        m_bLineHasText = FALSE;
        m_strLineIndent.Empty();
    }
    if (!m_bLineHasText) {
        const char* p = pLine;
        while (p < pEnd && (*p == ' ' || *p == '\t'))
            ++p;
        m_strLineIndent.Append(pLine, static_cast<int>(p - pLine));
        m_bLineHasText = p < pEnd;
    }
    if (m_bWriteFailed)
        return;
    // A long text goes out a piece at a time, so that it is not held once more here. While the
    // declaration's place in the head or the title's is kept, what follows it goes beside the
    // copy.
    for (size_t nAt = 0; nAt < static_cast<size_t>(nLength);) {
        const size_t n = std::min(static_cast<size_t>(nLength) - nAt, kWriteChunk);
        m_buffer.append(pszText + nAt, n);
        nAt += n;
        if (m_bSeekingTitle || m_bDeclarationPlaceKept) {
            const size_t nPlace = m_bSeekingTitle ? m_nTitlePlace : m_nDeclarationPlace;
            if (m_buffer.size() - nPlace >= kWriteChunk && !SpillAfterPlace(nPlace))
                return;
        } else if (m_buffer.size() >= kWriteChunk) {
            FlushOutput(FlushPart::WholeCharacters);
        }
    }
}

void CMetaEditEngine::HoldSpace(LPCSTR pszText, int nLength)
{
    if (m_nDropFrom >= 0) {
        // The blanks after a removed tag up to its line's end go with it, and so do the blanks
        // before it; the next line begins as it did.
        if (const size_t nNext = SecondLineStart(pszText, static_cast<size_t>(nLength)); nNext != std::string_view::npos) {
            m_strHeldSpace = m_strHeldSpace.Left(m_nDropFrom);
            const int nSkip = static_cast<int>(nNext);
            pszText += nSkip;
            nLength -= nSkip;
            m_nDropFrom = -1;
        }
    }
    m_strHeldSpace.Append(pszText, nLength);
}

BOOL CMetaEditEngine::StartsLine(CString& strIndent, int& nHeldFrom) const
{
    if (const size_t nLine = LastLineStart(m_strHeldSpace.GetString(), static_cast<size_t>(m_strHeldSpace.GetLength()));
        nLine != std::string_view::npos) {
        nHeldFrom = static_cast<int>(nLine);
        strIndent = m_strHeldSpace.Mid(nHeldFrom);
        return TRUE;
    }
    nHeldFrom = -1;
    if (m_bLineHasText)
        return FALSE;
    strIndent = m_strLineIndent + m_strHeldSpace;
    return TRUE;
}

void CMetaEditEngine::FlushOutput(FlushPart part)
{
    if (m_bWriteFailed)
        return;
    if (!m_bConvert) {
        if (m_buffer.empty())
            return;
        std::string data;
        data.swap(m_buffer);
        if (m_bMasked)
            m_writtenMask.Apply(data.data(), data.size());
        WriteData(data);
        return;
    }
    // Converted a piece at a time: the encoder's notes on the text it is given grow with it. It
    // holds back the last character it was given, which the last flush writes.
    const std::string_view buffer(m_buffer);
    const size_t nWhole = part == FlushPart::All ? buffer.size() : WholeCharactersLength(buffer);
    std::string data;
    for (size_t nAt = 0; nAt < nWhole && !m_bWriteFailed;) {
        size_t n = std::min(nWhole - nAt, kWriteChunk);
        if (nAt + n < nWhole)
            n = std::max<size_t>(WholeCharactersLength(buffer.substr(nAt, n)), 1);
        data.clear();
        m_pEncoder->Encode(buffer.substr(nAt, n), data);
        nAt += n;
        WriteData(data);
    }
    if (part == FlushPart::All) {
        data.clear();
        m_pEncoder->Finish(data);
        WriteData(data);
    }
    m_buffer.erase(0, nWhole);
}

void CMetaEditEngine::WriteData(const std::string& data)
{
    if (data.empty() || m_bWriteFailed)
        return;
    if (m_pOutput == nullptr) {
        m_bWriteFailed = TRUE;
        return;
    }
    m_nFlushed += data.size();
    // Only a page whose declaration may be taken out is read by its start again.
    if (m_bContentTypeEdited && m_outputStart.size() < CPageCharsetJudge::kStartSize)
        m_outputStart.append(data, 0, CPageCharsetJudge::kStartSize - m_outputStart.size());
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
        // The page's own title, never closed: no second one is added, and the edit stays.
        m_bInTitle = 0;
        WriteTitleText();
        if (m_bSeekingTitle)
            EndTitleSearch(TitleLines::Dropped);
    }
}

// ---- Composing ----

CString CMetaEditEngine::ForPage(const CString& strText) const
{
    // A page written in a new charset is converted as a whole when it is written out.
    if (m_bConvert)
        return strText;
    std::string bytes = m_typedIn.Encode(std::string_view(strText.GetString(), static_cast<size_t>(strText.GetLength())));
    // Masked as the page's bytes are on their way out: the text begins and ends out of any shift,
    // where the engine writes it in.
    if (m_bMasked)
        CShiftMask().Apply(bytes.data(), bytes.size());
    return CString(bytes.data(), static_cast<int>(bytes.size()));
}

namespace {

bool HasBeyondAscii(const CString& strText)
{
    return std::any_of(strText.GetString(), strText.GetString() + strText.GetLength(),
                       [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; });
}

} // namespace

BOOL CMetaEditEngine::EditsBeyondAscii() const
{
    if (TitleEdited() && HasBeyondAscii(m_pPage->GetTitle()))
        return TRUE;
    if (m_pEditedContents == nullptr)
        return FALSE;
    for (POSITION pos = m_pEditedContents->GetHeadPosition(); pos != nullptr;) {
        const CMetaContent* pContent = m_pEditedContents->GetNext(pos);
        if (pContent != nullptr && pContent->GetModified() && !IsSetAside(pContent) && HasBeyondAscii(pContent->GetContent()))
            return TRUE;
    }
    return FALSE;
}

BOOL CMetaEditEngine::LabelStands() const
{
    // ASCII alone reads alike in every charset. Otherwise the judge was asked what a conversion to
    // UTF-8 would take the bytes to be in: the label, when it reads them as text that no other
    // reading outweighs.
    if (!m_pJudge->GetCensus().HasNonAscii())
        return TRUE;
    const CPageCharsetJudge::Verdict verdict = m_pJudge->Decide();
    return verdict.change == CPageCharsetJudge::Change::Convert && verdict.source.charset.WritesAs(m_charset);
}

CString CMetaEditEngine::TextForPage(std::string_view text) const
{
    const std::string escaped = EscapeHtml(text, HtmlEscape::Text);
    return ForPage(CString(escaped.data(), static_cast<int>(escaped.size())));
}

CString CMetaEditEngine::TitleForPage() const
{
    if (m_pPage == nullptr)
        return CString();
    const CString& strTitle = m_pPage->GetTitle();
    return TextForPage(std::string_view(strTitle.GetString(), static_cast<size_t>(strTitle.GetLength())));
}

CString CMetaEditEngine::TitleInPlace() const
{
    if (m_pPage == nullptr)
        return CString();
    const CString& strTitle = m_pPage->GetTitle();
    const std::string spelled = m_titleSpelling.Respell(
        std::string_view(m_strTitleText.GetString(), static_cast<size_t>(m_strTitleText.GetLength())), 0,
        m_strTitleText.GetLength(), std::string_view(strTitle.GetString(), static_cast<size_t>(strTitle.GetLength())),
        CKeptSpelling::Reading::Title, LexedCharset(), [this](std::string_view text) {
            const CString strText = TextForPage(text);
            return std::string(strText.GetString(), static_cast<size_t>(strText.GetLength()));
        });
    return CString(spelled.data(), static_cast<int>(spelled.size()));
}

CPageCharset CMetaEditEngine::LexedCharset() const
{
    return m_bConvert ? CPageCharset::FromName("utf-8") : m_charset;
}

void CMetaEditEngine::NoteSpelling(CKeptSpelling& spelling, int nFrom, LPCSTR pszRead, int nRead)
{
    // A text run reaches the events as the token itself; a reference as what it reads as.
    if (pszRead == GetTokenText())
        spelling.AddText(nFrom, GetTokenLength());
    else
        spelling.AddDecoded(nFrom, GetTokenLength(), std::string_view(pszRead, static_cast<size_t>(std::max(nRead, 0))));
}

CString CMetaEditEngine::ComposeTag(const CMetaContent& content) const
{
    CString strTag;
    CMetaSetting* pSetting = nullptr;
    if (GetAppModel().GetMetaSettings().FindByName(content.GetName(), pSetting) == 0 && pSetting != nullptr)
        pSetting->FormatTag(content.GetContent(), strTag);
    // In an XHTML page an element without content must be closed, or the page no longer
    // parses as XML.
    if (m_bXhtml && strTag.GetLength() > 1 && strTag[strTag.GetLength() - 1] == '>'
        && strTag[strTag.GetLength() - 2] != '/')
        strTag = strTag.Left(strTag.GetLength() - 1) + " />";
    return ForPage(strTag);
}

CString CMetaEditEngine::ComposeValue(const CMetaContent& content) const
{
    CString strValue;
    CMetaSetting* pSetting = nullptr;
    if (GetAppModel().GetMetaSettings().FindByName(content.GetName(), pSetting) == 0 && pSetting != nullptr)
        pSetting->FormatValue(content.GetContent(), strValue);
    return strValue;
}

CString CMetaEditEngine::AttributeValueForPage(const CString& strValue, char chQuote) const
{
    std::string escaped = EscapeHtml(std::string_view(strValue.GetString(), static_cast<size_t>(strValue.GetLength())),
        HtmlEscape::Attribute);
    if (chQuote == '\'') {
        for (size_t at = escaped.find('\''); at != std::string::npos; at = escaped.find('\'', at))
            escaped.replace(at, 1, "&#39;");
    }
    return ForPage(CString(escaped.data(), static_cast<int>(escaped.size())));
}

namespace {

// Whether a value can stand without quotes, as it did in the page.
bool FitsUnquoted(const CString& strValue)
{
    return !strValue.IsEmpty() && strValue.FindOneOf(" \t\r\n\f\"'=<>`") < 0;
}

} // namespace

CString CMetaEditEngine::WithContent(const CString& strHeld, const CString& strValue, BOOL bCutByTag) const
{
    // The tag's end: its ">", or the "<" of the next tag that cut it short.
    const int nTagEnd = m_nTagEnd >= 0 ? m_nTagEnd : strHeld.GetLength();
    int nStart = m_nValueStart;
    int nEnd = m_nValueEnd;
    CString strPrefix = m_strValuePrefix;
    char chQuote = m_chValueQuote;
    if (nStart < 0) {
        // No CONTENT attribute: one is added after the last attribute, before a closing "/".
        nStart = nTagEnd;
        while (nStart > 0 && (strHeld[nStart - 1] == '/' || strHeld[nStart - 1] == ' ' || strHeld[nStart - 1] == '\t'
                              || strHeld[nStart - 1] == '\r' || strHeld[nStart - 1] == '\n'))
            --nStart;
        nEnd = nStart;
        strPrefix = m_bKeyUpper ? " CONTENT=" : " content=";
        chQuote = '"';
    } else if (nStart == nEnd) {
        chQuote = '"';
    }
    CString strText;
    if (chQuote == 0) {
        strText = AttributeValueForPage(strValue, '"');
        if (!FitsUnquoted(strText))
            strText = "\"" + strText + "\"";
    } else if (nStart == m_nValueStart && nStart < nEnd && m_nValueTextEnd >= nStart + 1) {
        // The page's own quoted value: what the user did not change keeps its spelling.
        const std::string spelled = m_valueSpelling.Respell(
            std::string_view(strHeld.GetString(), static_cast<size_t>(strHeld.GetLength())), nStart + 1, m_nValueTextEnd,
            std::string_view(strValue.GetString(), static_cast<size_t>(strValue.GetLength())), CKeptSpelling::Reading::Value,
            LexedCharset(), [&](std::string_view text) {
                const CString strText = AttributeValueForPage(CString(text.data(), static_cast<int>(text.size())), chQuote);
                return std::string(strText.GetString(), static_cast<size_t>(strText.GetLength()));
            });
        const CString strQuote(chQuote);
        strText = strQuote + CString(spelled.data(), static_cast<int>(spelled.size())) + strQuote;
    } else {
        const CString strQuote(chQuote);
        strText = strQuote + AttributeValueForPage(strValue, chQuote) + strQuote;
    }
    CString strTag = strHeld.Left(nStart) + strPrefix + strText;
    if (bCutByTag) {
        // A tag the next tag cut short gets its end, before that tag's "<".
        strTag += strHeld.Mid(nEnd, nTagEnd - nEnd) + ">" + strHeld.Mid(nTagEnd);
    } else {
        strTag += strHeld.Mid(nEnd);
    }
    return strTag;
}

void CMetaEditEngine::SetAsideEditsWithoutSetting()
{
    // A content whose setting was deleted from the catalogue, or renamed, composes no tag: taken
    // for an emptied value it would take every tag of its name out of the page. The catalogue is
    // the user's list of tags to edit, not of tags to keep.
    if (m_pEditedContents == nullptr)
        return;
    CMetaSettingList& catalogue = GetAppModel().GetMetaSettings();
    for (POSITION pos = m_pEditedContents->GetHeadPosition(); pos != nullptr;) {
        CMetaContent* pContent = m_pEditedContents->GetNext(pos);
        CMetaSetting* pSetting = nullptr;
        if (pContent == nullptr || !pContent->GetModified()
            || (catalogue.FindByName(pContent->GetName(), pSetting) == 0 && pSetting != nullptr))
            continue;
        pContent->SetModified(0);
        m_setAside.insert(pContent);
        m_editsWithoutSetting.push_back(pContent->GetName());
    }
}

BOOL CMetaEditEngine::IsSetAside(const CMetaContent* pContent) const
{
    return m_setAside.count(pContent) != 0;
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
        || pContent == nullptr || IsSetAside(pContent)) {
        if (!m_bHaveKey && m_nCharsetStart >= 0 && FinishCharsetTag(strHeld))
            return;
        Put(strHeld);
        return;
    }
    if (pContent->GetModified()) {
        pContent->SetModified(0);
        // The tag keeps everything the page wrote of it, its kind and spelling, quotes and
        // closing "/" included: only the CONTENT value changes.
        const CString strValue = ComposeValue(*pContent);
        if (!strValue.IsEmpty()) {
            Put(WithContent(strHeld, strValue, bCutByTag));
            return;
        }
    } else {
        // A tag of this name was written already: this one is taken out, and its place kept for
        // the caller to tell.
        const ULONGLONG nTo = GetTokenOffset() + (bCutByTag ? 0 : static_cast<ULONGLONG>(GetTokenLength()));
        m_removedRepeats.push_back({m_strKey, m_nMetaFrom, nTo});
    }
    // The tag goes: its value was emptied, or a tag of its name was written already in this
    // page. A tag that stood alone on its line takes the line with it.
    if (bCutByTag)
        Put("<", 1);
    else
        m_nDropFrom = m_nMetaLineFrom;
}

BOOL CMetaEditEngine::FinishCharsetTag(const CString& strHeld)
{
    const CString strDeclared = strHeld.Mid(m_nCharsetStart, m_nCharsetEnd - m_nCharsetStart);
    if (m_bContentTypeEdited && m_strOutputName.IsEmpty() && m_strUnwritableCharset.IsEmpty()) {
        // The Content-Type names no charset any more: the tag goes, and a value that is left takes
        // its place as the Content-Type tag, once.
        CMetaContent* pContent = nullptr;
        if (!m_strContentTypeValue.IsEmpty() && m_pEditedContents->FindByName("Content-Type", pContent) == 0
            && pContent != nullptr && pContent->GetModified()) {
            pContent->SetModified(0);
            Put(ComposeTag(*pContent));
            return TRUE;
        }
        m_nDropFrom = m_nMetaLineFrom;
        return TRUE;
    }
    // A page given a new charset declares it here: browsers take the first declaration. Only the
    // tag's own CHARSET changes, not the word in another value.
    if (m_bContentTypeEdited)
        m_bCharsetTagTookEdit = TRUE;
    if (m_change == CharsetChange::None || !DeclaresOtherCharset(strDeclared))
        return FALSE;
    Put(strHeld.Left(m_nCharsetStart) + m_strOutputName + strHeld.Mid(m_nCharsetEnd));
    return TRUE;
}

void CMetaEditEngine::AddPendingTags()
{
    std::vector<CString> lines;
    if (m_pEditedContents != nullptr) {
        for (POSITION pos = m_pEditedContents->GetHeadPosition(); pos != nullptr;) {
            CMetaContent* pContent = m_pEditedContents->GetNext(pos);
            if (pContent == nullptr || !pContent->GetModified())
                continue;
            // The page's "<meta charset>" took the Content-Type: a second declaration would follow.
            if (m_bCharsetTagTookEdit && IsContentType(*pContent)) {
                pContent->SetModified(0);
                continue;
            }
            // A value emptied before it was ever written adds nothing, not even a line.
            if (CString strTag = ComposeTag(*pContent); !strTag.IsEmpty() && !(IsContentType(*pContent) && PlaceDeclaration(strTag)))
                lines.push_back(strTag);
            pContent->SetModified(0);
        }
    }
    // No declaration goes in after the head's start tag any more.
    EndDeclarationHold();
    // The title goes in only when the user edited it and the page has no TITLE element of its
    // own; one may still stand further on, in the body, so its line waits for the page's end.
    const BOOL bTitleSought = !m_bTitleWritten && TitleEdited();
    CString strTitle;
    const BOOL bTitleLine = bTitleSought && ComposeTitle(strTitle);
    if (lines.empty() && !bTitleLine) {
        if (bTitleSought)
            KeepTitlePlace(CString());
        return;
    }
    // Each goes on a line of its own, indented as the page's META lines are; the head's end
    // tag keeps its place on its own line, or gets a line of its own when it shared one.
    CString strEndIndent;
    int nHeldFrom = -1;
    const BOOL bOwnLine = StartsLine(strEndIndent, nHeldFrom) && nHeldFrom >= 0;
    if (bOwnLine) {
        const CString strSpace = m_strHeldSpace;
        m_strHeldSpace.Empty();
        Write(strSpace.Left(nHeldFrom));
    } else {
        strEndIndent = m_strLineIndent;
        Write(CString());
    }
    const CString strLead = bOwnLine ? CString() : LineEnd();
    const CString strIndent = m_bHaveMetaIndent ? m_strMetaIndent : m_bHaveHeadIndent ? m_strHeadIndent : strEndIndent;
    CString strAdded;
    for (const CString& strLine : lines)
        strAdded += strIndent + strLine + LineEnd();
    const CString strTitleLine = bTitleLine ? strIndent + strTitle + LineEnd() : CString();
    if (!lines.empty()) {
        Write(strLead + strAdded);
        m_strHeldSpace = strEndIndent;
        if (bTitleSought)
            KeepTitlePlace(strTitleLine);
        return;
    }
    // The title alone would be added: the line it makes for the head's end tag waits with it.
    KeepTitlePlace(strLead + strTitleLine + (bOwnLine ? CString() : strEndIndent));
    if (bOwnLine)
        m_strHeldSpace = strEndIndent;
}

BOOL CMetaEditEngine::PlaceDeclaration(const CString& strTag)
{
    if (!m_bDeclarationPlaceKept || m_nDeclarationPlace > m_buffer.size())
        return FALSE;
    // Read where the head ends, the declaration goes there, with the other tags added.
    const ULONGLONG nSpilled = m_pSpill != nullptr ? m_pSpill->GetSize() : 0;
    if (m_nFlushed + nSpilled + m_buffer.size() + static_cast<size_t>(m_strHeldSpace.GetLength() + strTag.GetLength())
        <= kDeclarationReach)
        return FALSE;
    // On a line of its own after the head's start tag, when that ends its line.
    const std::string_view after = std::string_view(m_buffer).substr(m_nDeclarationPlace);
    const char chAfter = m_pSpill != nullptr ? m_chAfterPlace : after.empty() ? '\0' : after.front();
    const BOOL bOwnLine = chAfter == '\n' || chAfter == '\r';
    const CString strIndent = m_bHaveMetaIndent ? m_strMetaIndent : m_bHaveHeadIndent ? m_strHeadIndent : CString();
    const CString strInsert = bOwnLine ? LineEnd() + strIndent + strTag : strTag;
    if (m_pSpill == nullptr) {
        m_buffer.insert(m_nDeclarationPlace, strInsert.GetString(), static_cast<size_t>(strInsert.GetLength()));
        return TRUE;
    }
    m_bDeclarationPlaceKept = FALSE;
    EndHold(m_nDeclarationPlace, strInsert);
    return TRUE;
}

void CMetaEditEngine::EndDeclarationHold()
{
    if (!m_bDeclarationPlaceKept)
        return;
    m_bDeclarationPlaceKept = FALSE;
    if (m_pSpill != nullptr)
        EndHold(m_nDeclarationPlace, CString());
}

void CMetaEditEngine::KeepTitlePlace(const CString& strLines)
{
    m_bSeekingTitle = TRUE;
    m_nTitlePlace = m_buffer.size();
    m_strTitleLines = strLines;
}

void CMetaEditEngine::PlaceTitle()
{
    if (!m_bSeekingTitle)
        return;
    // The page has no TITLE element of its own: the title goes in its head after all.
    EndTitleSearch(TitleLines::Placed);
    m_pPage->SetTitleModified(0);
}

void CMetaEditEngine::EndTitleSearch(TitleLines lines)
{
    m_bSeekingTitle = FALSE;
    CString strLines;
    if (lines == TitleLines::Placed && !m_strTitleLines.IsEmpty() && !m_bWriteFailed) {
        strLines = m_strTitleLines;
        m_bTitleWritten = 1;
    }
    m_strTitleLines.Empty();
    EndHold(m_nTitlePlace, strLines);
}

void CMetaEditEngine::EndHold(size_t nPlace, const CString& strInsert)
{
    std::string after = m_buffer.substr(nPlace);
    m_buffer.resize(nPlace);
    m_buffer.append(strInsert.GetString(), static_cast<size_t>(strInsert.GetLength()));
    if (m_pSpill != nullptr && !m_bWriteFailed) {
        const BOOL bTaken = m_pSpill->TakeAll([this](const char* p, size_t n) {
            m_buffer.append(p, n);
            if (m_buffer.size() >= kWriteChunk)
                FlushOutput(FlushPart::WholeCharacters);
        });
        if (!bTaken && !m_bWriteFailed)
            FailHeld(m_pSpill->GetError());
    }
    m_pSpill.reset();
    m_buffer += after;
}

BOOL CMetaEditEngine::SpillAfterPlace(size_t nPlace)
{
    if (m_pSpill == nullptr) {
        m_pSpill = std::make_unique<CSpillFile>(FolderOf(m_pOutput));
        m_chAfterPlace = m_buffer[nPlace];
    }
    const BOOL bKept = m_pSpill->Append(m_buffer.data() + nPlace, m_buffer.size() - nPlace);
    m_buffer.resize(nPlace);
    if (!bKept)
        FailHeld(m_pSpill->GetError());
    return bKept;
}

BOOL CMetaEditEngine::TitleEdited() const
{
    return m_pPage != nullptr && m_pPage->GetTitleModified();
}

BOOL CMetaEditEngine::ComposeTitle(CString& strElement) const
{
    if (m_pPage == nullptr || m_pPage->GetTitle().IsEmpty())
        return FALSE;
    strElement.Format(m_bLowerCase ? "<title>%s</title>" : "<TITLE>%s</TITLE>", TitleForPage().GetString());
    return TRUE;
}

void CMetaEditEngine::NoteAttributeValue(LPCSTR pszValue, int nLength)
{
    if (m_bInHtmlTag) {
        // The XHTML namespace on the HTML element makes the page XHTML.
        if (m_strAttrName == "XMLNS" && CString(pszValue, nLength).Trim() == "http://www.w3.org/1999/xhtml")
            m_bXhtml = TRUE;
        m_strAttrName.Empty();
        return;
    }
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

void CMetaEditEngine::NoteMarkup(LPCSTR pszText, int nLength)
{
    const std::string_view text(pszText, static_cast<size_t>(nLength));
    auto startsNoCase = [&](std::string_view prefix) {
        return text.size() >= prefix.size() && strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
    };
    // "<?xml ...?>": the markup after "<?" names the instruction.
    if (m_bAfterPiStart) {
        m_bAfterPiStart = FALSE;
        if (IsXmlDeclaration(text))
            m_bXhtml = TRUE;
    }
    if (text == "<?") {
        m_bAfterPiStart = TRUE;
        return;
    }
    if (m_bInDoctype) {
        if (text == ">") {
            m_bInDoctype = FALSE;
            return;
        }
        for (size_t i = 0; i + 5 <= text.size() && !m_bXhtml; ++i)
            m_bXhtml = strncasecmp(text.data() + i, "XHTML", 5) == 0;
        return;
    }
    if (startsNoCase("<!DOCTYPE"))
        m_bInDoctype = TRUE;
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
    m_bInStartTag = TRUE;
    m_bInHtmlTag = FALSE;
    m_strAttrName.Empty();
    // The indent of the head's lines, for the lines added before its end.
    CString strIndent;
    int nHeldFrom = -1;
    const BOOL bStartsLine = m_bInHead && !m_bInTitle && StartsLine(strIndent, nHeldFrom);
    if (IsNameChar(pszName, nLength, "HTML")) {
        m_bHtmlStartSeen = 1;
        m_bInHtmlTag = TRUE;
    } else if (IsNameChar(pszName, nLength, "HEAD")) {
        m_bInHead = 1;
        m_bHeadStarting = !m_bHeadStartSeen;
        m_bHeadStartSeen = 1;
    } else if (m_bInHead && IsNameChar(pszName, nLength, "META")) {
        m_bInMeta = 1;
        m_strHeldText.Empty();
        m_strKey.Empty();
        m_bHaveKey = FALSE;
        m_bKeyUpper = FALSE;
        m_contentState = ContentState::None;
        m_nValueStart = m_nValueEnd = m_nTagEnd = m_nValueTextEnd = -1;
        m_charsetState = ContentState::None;
        m_nCharsetStart = m_nCharsetEnd = -1;
        m_nMetaFrom = GetTokenOffset();
        m_chValueQuote = 0;
        m_strValuePrefix.Empty();
        m_nMetaLineFrom = bStartsLine ? nHeldFrom : -1;
        if (bStartsLine) {
            m_strMetaIndent = strIndent;
            m_bHaveMetaIndent = TRUE;
        }
    } else if (!m_bInTitle && IsNameChar(pszName, nLength, "TITLE") && m_titleScope.IsPageTitleHere()
               && (m_bInHead || (!m_bTitleWritten && TitleEdited()))) {
        // The start tag itself is written; its content is held from the end of the tag on.
        // Outside the head only an edited title looks for its element, which may stand
        // anywhere the page's own title may.
        m_bTitleStarting = TRUE;
    }
    m_titleScope.OnStartTag(pszName, nLength);
    if (bStartsLine && !m_bInMeta) {
        m_strHeadIndent = strIndent;
        m_bHaveHeadIndent = TRUE;
    }
    EmitToken();
    if (IsNameChar(pszName, nLength, "BODY"))
        m_bBodySeen = TRUE;
    // The rest after the tag is copied whole; but an edited title the head lacks may stand in
    // the body, which is read on until its title is found.
    if (m_bBodySeen && !m_bSeekingTitle) {
        // A head not ended by now never is: no tag is added to it, and the place kept for a
        // declaration in it holds the output back for nothing. A title still open there is the
        // page's own, never closed: it goes out as it stood, before the rest is copied after it.
        EndDeclarationHold();
        if (m_bInTitle) {
            m_bInTitle = 0;
            WriteTitleText();
        }
        SkipRestAfterTag();
    }
}

void CMetaEditEngine::OnAttrName(LPCSTR pszName, int nLength)
{
    if (m_bInMeta || m_bInHtmlTag) {
        m_strAttrName = CString(pszName, nLength);
        m_strAttrName.MakeUpper();
    }
    EmitToken();
    if (!m_bInMeta)
        return;
    m_contentState = ContentState::None;
    // The first CHARSET counts, as it does for the scan and for browsers.
    m_charsetState = m_strAttrName == "CHARSET" && m_nCharsetStart < 0 ? ContentState::ValueNext : ContentState::None;
    if (m_strAttrName == "CONTENT") {
        // The last CONTENT counts, as it does for the scan.
        m_contentState = ContentState::ValueNext;
        m_nValueStart = m_nValueEnd = m_nValueTextEnd = -1;
        m_valueSpelling.Clear();
    } else if (!m_bHaveKey && (m_strAttrName == "NAME" || m_strAttrName == "HTTP-EQUIV")) {
        m_bKeyUpper = nLength > 0 && pszName[0] >= 'A' && pszName[0] <= 'Z';
    }
}

void CMetaEditEngine::OnAttrNoValue(LPCSTR pszName, int nLength)
{
    m_strAttrName.Empty();
    EmitToken();
    if (!m_bInMeta)
        return;
    m_contentState = ContentState::None;
    m_charsetState = ContentState::None;
    if (IsNameChar(pszName, nLength, "CONTENT")) {
        // "content" alone: the value goes right after the name.
        m_nValueStart = m_nValueEnd = m_strHeldText.GetLength();
        m_strValuePrefix = "=";
    }
}

void CMetaEditEngine::OnAttrTokenValue(LPCSTR pszValue, int nLength)
{
    OnAttrValue(pszValue, nLength);
}

void CMetaEditEngine::OnAttrValue(LPCSTR pszValue, int nLength)
{
    NoteAttributeValue(pszValue, nLength);
    const BOOL bContent = m_bInMeta && m_contentState == ContentState::ValueNext;
    const BOOL bCharset = m_bInMeta && m_charsetState == ContentState::ValueNext;
    if (bContent) {
        m_nValueStart = m_strHeldText.GetLength();
        m_chValueQuote = 0;
        m_strValuePrefix.Empty();
    }
    if (bCharset)
        m_nCharsetStart = m_strHeldText.GetLength();
    EmitToken();
    if (bContent) {
        m_nValueEnd = m_strHeldText.GetLength();
        m_contentState = ContentState::None;
    }
    if (bCharset) {
        m_nCharsetEnd = m_strHeldText.GetLength();
        m_charsetState = ContentState::None;
    }
}

void CMetaEditEngine::ClearValueText()
{
    CHtmlLexer::ClearValueText();
    if (m_bInMeta && m_contentState == ContentState::ValueNext) {
        m_nValueStart = m_strHeldText.GetLength();
        m_chValueQuote = GetTokenText()[0];
        m_strValuePrefix.Empty();
        m_contentState = ContentState::InQuotes;
        m_valueSpelling.Clear();
    }
    EmitToken(); // the opening quote, as the page has it
    if (m_bInMeta && m_charsetState == ContentState::ValueNext) {
        m_nCharsetStart = m_strHeldText.GetLength();
        m_charsetState = ContentState::InQuotes;
    }
}

void CMetaEditEngine::AppendValueText(LPCSTR pszText, int nLength)
{
    // The value is collected decoded for the key; the page's own bytes are copied.
    CHtmlLexer::AppendValueText(pszText, nLength);
    if (m_bInMeta && m_contentState == ContentState::InQuotes)
        NoteSpelling(m_valueSpelling, m_strHeldText.GetLength(), pszText, nLength);
    EmitToken();
}

void CMetaEditEngine::FlushValueText()
{
    NoteAttributeValue(m_strValueText.c_str(), static_cast<int>(m_strValueText.size()));
    if (m_contentState == ContentState::InQuotes)
        m_nValueTextEnd = m_strHeldText.GetLength();
    // The closing quote is copied; a "<" or ">" that cut the value short is the tag's end and
    // is written by OnTagEnd.
    const char ch = GetTokenLength() == 1 ? GetTokenText()[0] : '\0';
    if (m_charsetState == ContentState::InQuotes) {
        m_nCharsetEnd = m_strHeldText.GetLength();
        m_charsetState = ContentState::None;
    }
    if (ch == '"' || ch == '\'')
        EmitToken();
    if (m_contentState == ContentState::InQuotes) {
        // A value left open ends here; the quote that closes it is written with the new value.
        m_nValueEnd = m_strHeldText.GetLength();
        m_contentState = ContentState::None;
    }
}

void CMetaEditEngine::OnTagEnd()
{
    // A page whose own empty elements end in "/>" is written to by the same rule.
    if (m_bInStartTag && m_bSlashBeforeEnd && GetTokenLength() == 1 && GetTokenText()[0] == '>')
        m_bXhtml = TRUE;
    m_titleScope.OnTagEnd(m_bInStartTag && m_bSlashBeforeEnd);
    m_bInStartTag = FALSE;
    m_bInHtmlTag = FALSE;
    m_strAttrName.Empty();
    if (m_bInMeta) {
        m_nTagEnd = m_strHeldText.GetLength();
        if (m_contentState == ContentState::ValueNext) {
            // "content=" with the tag's end for a value.
            m_nValueStart = m_nValueEnd = m_nTagEnd;
            m_strValuePrefix.Empty();
        }
        m_contentState = ContentState::None;
        if (m_charsetState == ContentState::InQuotes)
            m_nCharsetEnd = m_nTagEnd;
        m_charsetState = ContentState::None;
        EmitToken();
        FinishMetaTag();
        return;
    }
    Put(GetTokenText(), GetTokenLength());
    if (m_bHeadStarting) {
        // A Content-Type the page's start lacks, added at the head's end, would stand where
        // neither browsers nor the next scan look for it in a long head: its place after the
        // head's start tag is kept until the head's end tells; a head start after a head's end
        // comes too late, the tags having gone in at that end.
        m_bHeadStarting = FALSE;
        m_bDeclarationPlaceKept = m_bContentTypeEdited && !m_bStartDeclares && !m_bHeadEndSeen
            && m_nFlushed + m_buffer.size() < kDeclarationReach;
        m_nDeclarationPlace = m_buffer.size();
    }
    if (m_bTitleStarting) {
        m_bTitleStarting = FALSE;
        m_bInTitle = 1;
        m_strTitleText.Empty();
        m_titleSpelling.Clear();
    }
}

void CMetaEditEngine::OnEndTag(LPCSTR pszName, int nLength)
{
    m_titleScope.OnEndTag(pszName, nLength);
    if (m_bInTitle && IsNameChar(pszName, nLength, "TITLE")) {
        m_bInTitle = 0;
        if (TitleEdited()) {
            // A title held beside the copy comes back whole: what the new title shares with
            // the old keeps the page's spelling.
            if (TakeTitleBack())
                Put(TitleInPlace());
            m_pPage->SetTitleModified(0);
            m_strTitleText.Empty();
        } else {
            WriteTitleText();
        }
        m_bTitleWritten = 1;
        // Found after the head: no title is added there.
        if (m_bSeekingTitle)
            EndTitleSearch(TitleLines::Dropped);
    } else if (IsNameChar(pszName, nLength, "HEAD") && !m_bHeadEndSeen) {
        if (m_bInTitle) {
            // A TITLE element left open: its text goes out as it stood, and no second title is
            // added.
            m_bInTitle = 0;
            WriteTitleText();
            m_bTitleWritten = 1;
        }
        m_bInHead = 0;
        m_bHeadEndSeen = 1;
        AddPendingTags();
        EndDeclarationHold();
    } else if (IsNameChar(pszName, nLength, "HEAD")) {
        m_bInHead = 0;
    }
    EmitToken();
}

void CMetaEditEngine::OnText(LPCSTR pszText, int nLength)
{
    if (m_bInTitle && !m_bInMeta)
        NoteTitleSpelling(pszText, nLength, FALSE);
    EmitToken();
}

void CMetaEditEngine::OnWhitespace(LPCSTR pszText, int nLength)
{
    if (m_bInMeta || m_bInTitle) {
        if (m_bInTitle && !m_bInMeta)
            NoteTitleSpelling(pszText, nLength, TRUE);
        EmitToken();
        return;
    }
    HoldSpace(pszText, nLength);
}

void CMetaEditEngine::OnMarkup(LPCSTR pszText, int nLength)
{
    if (!m_bInStartTag) {
        // A page given a new charset declares it in its XML declaration too.
        const BOOL bDeclaration = m_change != CharsetChange::None && m_bAfterPiStart
            && IsXmlDeclaration(std::string_view(pszText, static_cast<size_t>(nLength)));
        NoteMarkup(pszText, nLength);
        if (bDeclaration) {
            const CString strDeclaration = WithXmlEncoding(CString(pszText, nLength));
            Emit(strDeclaration.GetString(), strDeclaration.GetLength());
        } else {
            EmitToken();
        }
        return;
    }
    // A line break in a quoted value reads as nothing.
    if (m_bInMeta && m_contentState == ContentState::InQuotes)
        m_valueSpelling.AddSilent(m_strHeldText.GetLength(), GetTokenLength());
    // In a start tag markup is a "/" or blanks: a "/" with only blanks after it closes the tag.
    const BOOL bSlash = nLength == 1 && pszText[0] == '/';
    const BOOL bKeep = m_bSlashBeforeEnd && !bSlash;
    EmitToken();
    m_bSlashBeforeEnd = bSlash || bKeep;
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
    // Once the lexer is done, the rest is the engine's to copy.
    if (m_bCopyRest)
        return 0;
    if (m_bCharsetKnown)
        return ReadOnward(pBuffer, nMax);
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
    NoteRead(nTotal);
    const PageCharsetReading start = CPageCharsetJudge::ReadStart(reinterpret_cast<const BYTE*>(pBuffer),
                                                                   static_cast<UINT>(nTotal));
    m_bStartDeclares = !CPageCharset::FindDeclaredName(reinterpret_cast<const BYTE*>(pBuffer),
                                                       static_cast<UINT>(std::min<int>(nTotal, kDeclarationReach))).empty();
    CString strName;
    CPageCharset target;
    m_bContentTypeEdited = FindContentTypeEdit(m_strContentTypeValue, strName);
    if (!strName.IsEmpty()) {
        target = CPageCharset::ForWriting(std::string_view(strName.GetString(), static_cast<size_t>(strName.GetLength())));
        if (target.GetKind() == CPageCharset::Kind::Undeclared) {
            m_strUnwritableCharset = strName;
            m_strRefusalReason = UnwritableCharsetReason(strName);
            target = CPageCharset();
        } else {
            m_strOutputName = strName;
        }
    }
    // Whether the page is converted or only declared anew, and how it reads once its declaration
    // is taken out, all of its bytes tell. So they do whether its label names the charset they are
    // in, where the user typed text beyond ASCII that would be written in the label's bytes.
    const BOOL bLabelInQuestion = !m_bContentTypeEdited && start.evidence == CharsetEvidence::Declaration
        && start.charset.GetKind() != CPageCharset::Kind::Utf8 && EditsBeyondAscii();
    const BOOL bWholeLook = m_bContentTypeEdited || bLabelInQuestion;
    m_pJudge = std::make_unique<CPageCharsetJudge>(start, bLabelInQuestion ? CPageCharset::FromName("utf-8") : target,
        bWholeLook ? CPageCharsetJudge::Look::Whole : CPageCharsetJudge::Look::Start);
    // The page is read once to be judged, when the judge looks at all of it, and once to be
    // written.
    try {
        m_nReadTotal = m_pInput->GetLength() * (bWholeLook ? 2 : 1);
    } catch (CException* e) {
        e->Delete();
    }
    LookAtPage(pBuffer, nTotal, *m_pJudge);
    if (m_bStopped)
        return 0;
    m_reading = m_pJudge->GetReading();
    m_charset = m_reading.charset;
    m_written = m_charset;
    if (!m_strOutputName.IsEmpty() && m_strRefusalReason.IsEmpty()) {
        const CPageCharsetJudge::Verdict verdict = m_pJudge->Decide();
        if (verdict.change == CPageCharsetJudge::Change::Doubt || verdict.change == CPageCharsetJudge::Change::Unknown) {
            // A page in doubt, or whose charset is not known, is read once more, for the ways it
            // can be taken.
            m_nReadTotal += m_nReadTotal / 2;
            m_choices = CheckChoices(pBuffer, nTotal, verdict, target);
            if (m_bStopped)
                return 0;
        }
        ChooseOutputCharset(target, verdict);
    }
    m_typedIn = bLabelInQuestion && !LabelStands() ? CPageCharset() : m_written;
    if (!m_bConvert) {
        m_bMasked = CShiftMask::IsNeededFor(m_charset);
        if (m_bMasked)
            m_lexedMask.Apply(pBuffer, static_cast<size_t>(nTotal));
        return nTotal;
    }
    m_rawHead.assign(pBuffer, static_cast<size_t>(nTotal));
    m_pDecoder->Decode(pBuffer, static_cast<size_t>(nTotal), m_decoded);
    // A UTF-8 page's byte order mark means nothing in another charset, where it would become a
    // reference at the page's start.
    if (m_output.GetKind() != CPageCharset::Kind::Utf8 && m_decoded.rfind("\xEF\xBB\xBF", 0) == 0)
        m_nDecodedPos = m_nDecodedSkip = 3;
    return ReadDecoded(pBuffer, nMax);
}

int CMetaEditEngine::ReadRaw(LPSTR pBuffer, int nMax)
{
    if (m_nAheadPos < m_ahead.size()) {
        const size_t n = std::min(static_cast<size_t>(std::max(nMax, 0)), m_ahead.size() - m_nAheadPos);
        std::memcpy(pBuffer, m_ahead.data() + m_nAheadPos, n);
        m_nAheadPos += n;
        if (m_nAheadPos == m_ahead.size()) {
            m_ahead.clear();
            m_ahead.shrink_to_fit();
            m_nAheadPos = 0;
        }
        NoteRead(static_cast<LONGLONG>(n));
        return static_cast<int>(n);
    }
    if (m_bReadFailed)
        return -1;
    const int nRead = CHtmlLexer::ReadInput(pBuffer, nMax);
    NoteRead(nRead);
    return nRead;
}

int CMetaEditEngine::ReadOnward(LPSTR pBuffer, int nMax)
{
    if (StopRequested())
        return 0;
    if (m_bConvert)
        return ReadDecoded(pBuffer, nMax);
    const int nRead = ReadRaw(pBuffer, nMax);
    if (m_bMasked && nRead > 0)
        m_lexedMask.Apply(pBuffer, static_cast<size_t>(nRead));
    return nRead;
}

int CMetaEditEngine::GetPendingState()
{
    const int nState = CHtmlLexer::GetPendingState();
    // The lexer takes what it holds of the rest as one token, and reads no further.
    if (nState == condSkipRest)
        m_bCopyRest = TRUE;
    return nState;
}

void CMetaEditEngine::CopyRest()
{
    if (!m_bCopyRest)
        return;
    std::string piece(kReadPiece, '\0');
    for (;;) {
        const int nRead = ReadOnward(piece.data(), static_cast<int>(piece.size()));
        if (nRead < 0)
            OnFatalError("the page could not be read to its end");
        if (nRead <= 0)
            return;
        Write(piece.data(), nRead);
    }
}

BOOL CMetaEditEngine::StopRequested()
{
    if (!m_bStopped && m_pWatch != nullptr && m_pWatch->IsStopRequested())
        m_bStopped = TRUE;
    return m_bStopped;
}

void CMetaEditEngine::NoteRead(LONGLONG nBytes)
{
    if (nBytes <= 0)
        return;
    m_nReadDone += static_cast<ULONGLONG>(nBytes);
    if (m_pWatch != nullptr)
        m_pWatch->OnProgress(std::min(m_nReadDone, m_nReadTotal), m_nReadTotal);
}

BOOL CMetaEditEngine::CanReadAgain() const
{
    try {
        m_pInput->Seek(0, CFile::current);
        return TRUE;
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
}

int CMetaEditEngine::ReadDecoded(LPSTR pBuffer, int nMax)
{
    while (m_nDecodedPos >= m_decoded.size() && !m_bDecodeEnded) {
        m_decoded.clear();
        m_nDecodedPos = 0;
        char chunk[8192];
        const int nRead = ReadRaw(chunk, static_cast<int>(sizeof chunk));
        if (nRead < 0)
            return nRead;
        if (nRead == 0) {
            m_pDecoder->Finish(m_decoded);
            m_bDecodeEnded = true;
        } else {
            // Tags are taken out only in the head, which the decoding reaches before the lexer.
            if (!m_bHeadEndSeen && !m_bBodySeen)
                m_rawHead.append(chunk, static_cast<size_t>(nRead));
            m_pDecoder->Decode(chunk, static_cast<size_t>(nRead), m_decoded);
        }
    }
    const size_t n = std::min(static_cast<size_t>(std::max(nMax, 0)), m_decoded.size() - m_nDecodedPos);
    std::memcpy(pBuffer, m_decoded.data() + m_nDecodedPos, n);
    m_nDecodedPos += n;
    return static_cast<int>(n);
}

void CMetaEditEngine::LookAtPage(const char* pSample, int nSample, CPageCharsetJudge& judge)
{
    FirstLineEnd lineEnd;
    auto look = [&](const char* p, size_t n) {
        lineEnd.Add(p, n);
        judge.Add(p, n);
    };
    look(pSample, static_cast<size_t>(nSample));
    // The bytes looked at are read again when the lexer asks for them. An input that cannot be
    // read again has them held until then; past the limit such a page is read on to its end
    // without them, and is refused.
    m_bHoldAhead = !CanReadAgain();
    BOOL bEnded = nSample == 0 || m_bReadFailed;
    LONGLONG nNotHeld = 0;
    while (!bEnded && !(lineEnd.IsKnown() && judge.IsSettled())) {
        if (m_bHoldAhead && m_ahead.size() >= kLookAheadLimit && !judge.IsWholeLook())
            break;
        // A stopped look leaves the input where it is: nothing more is read.
        if (StopRequested())
            return;
        char chunk[kReadPiece];
        const int nRead = CHtmlLexer::ReadInput(chunk, static_cast<int>(sizeof chunk));
        // A failure is told after the bytes before it, which are held or read again.
        if (nRead < 0 && m_bHoldAhead)
            m_bReadFailed = TRUE;
        if (nRead <= 0) {
            bEnded = TRUE;
            break;
        }
        if (m_bHoldAhead && m_ahead.size() < kLookAheadLimit)
            m_ahead.append(chunk, static_cast<size_t>(nRead));
        else
            nNotHeld += nRead;
        look(chunk, static_cast<size_t>(nRead));
        NoteRead(nRead);
    }
    if (bEnded)
        judge.Finish();
    m_strLineEnd = lineEnd.Result();
    TakeInputBack(nNotHeld);
}

void CMetaEditEngine::TakeInputBack(LONGLONG nBytes)
{
    if (nBytes == 0)
        return;
    try {
        m_pInput->Seek(-nBytes, CFile::current);
    } catch (CException* e) {
        e->Delete();
        m_strRefusalReason = "the page is too large to be held while its charset is judged, and could not be read again.";
    }
}

BOOL CMetaEditEngine::ReadAgain(const char* pSample, int nSample, const std::function<void(const char*, size_t)>& look)
{
    look(pSample, static_cast<size_t>(nSample));
    look(m_ahead.data(), m_ahead.size());
    // What is not held is read on to its end, as the judge read it, and the input taken back.
    LONGLONG nPast = 0;
    while (!m_bReadFailed) {
        if (StopRequested())
            return FALSE;
        char chunk[kReadPiece];
        const int nRead = CHtmlLexer::ReadInput(chunk, static_cast<int>(sizeof chunk));
        if (nRead < 0 && m_bHoldAhead)
            m_bReadFailed = TRUE;
        if (nRead <= 0)
            break;
        nPast += nRead;
        look(chunk, static_cast<size_t>(nRead));
        NoteRead(nRead);
    }
    TakeInputBack(nPast);
    return TRUE;
}

CharsetChoices CMetaEditEngine::CheckChoices(const char* pSample, int nSample, const CPageCharsetJudge::Verdict& verdict,
                                             const CPageCharset& target)
{
    // The verdict names the likeliest reading beside the page's own, which the Preview shows and
    // a way converts from where that loses nothing.
    m_wayOther = verdict.other;
    // A refusal of the page's label names the first byte it reads as no character, and its word.
    const long long nFirstOdd = verdict.change == CPageCharsetJudge::Change::Unknown ? verdict.nFirstUnreadable : -1;
    CCharsetChoiceCheck checker(verdict.source.charset, verdict.other.charset, target, m_strOutputName, nFirstOdd);
    if (!ReadAgain(pSample, nSample, [&checker](const char* p, size_t n) { checker.Add(p, n); }))
        return CharsetChoices();
    checker.Finish();
    return checker.GetChoices();
}

BOOL CMetaEditEngine::IsContentType(const CMetaContent& content)
{
    return content.GetName().CompareNoCase("Content-Type") == 0;
}

const CMetaContent* CMetaEditEngine::ContentTypeEdit() const
{
    if (m_pEditedContents == nullptr)
        return nullptr;
    for (POSITION pos = m_pEditedContents->GetHeadPosition(); pos != nullptr;) {
        const CMetaContent* pContent = m_pEditedContents->GetNext(pos);
        if (pContent != nullptr && pContent->GetModified() && IsContentType(*pContent))
            return pContent;
    }
    return nullptr;
}

BOOL CMetaEditEngine::FindContentTypeEdit(CString& strValue, CString& strName) const
{
    const CMetaContent* pContent = ContentTypeEdit();
    if (pContent == nullptr)
        return FALSE;
    strValue = ComposeValue(*pContent);
    const std::string name = CPageCharset::NameInContentType(std::string_view(strValue.GetString(),
        static_cast<size_t>(strValue.GetLength())));
    // As the value has it, for the message of a charset that cannot be written.
    const int nAt = CString(strValue).MakeLower().Find(name.c_str());
    if (!name.empty())
        strName = nAt >= 0 ? strValue.Mid(nAt, static_cast<int>(name.size())) : CString(name.c_str());
    return TRUE;
}

namespace {

// What a charset rests on, in the words of a refusal.
const char* EvidenceWords(CharsetEvidence evidence)
{
    switch (evidence) {
    case CharsetEvidence::ByteOrderMark: return "by its byte order mark";
    case CharsetEvidence::Declaration: return "as declared";
    case CharsetEvidence::Bytes: return "by its bytes";
    case CharsetEvidence::Guess: return "a guess from its text";
    case CharsetEvidence::Given: return "the charset given";
    case CharsetEvidence::WeakGuess: break;
    }
    return "a guess from too little text to be sure";
}

// What the bytes of a page whose charset is not known look like.
CString LooksLikeText(const PageCharsetReading& looks)
{
    CString strText;
    if (looks.charset.GetKind() != CPageCharset::Kind::Undeclared)
        strText.Format("they look like %s, but that is only %s", looks.charset.GetName().c_str(),
                       EvidenceWords(looks.evidence));
    return strText;
}

// What the user can do with a page whose charset is in doubt or not known: take in the Preview a
// way the save can carry out, each of which it shows, or, where none can be, mend the page's bytes
// first. Each way that cannot be is told with why.
CString WaysOn(const CharsetChoices& choices)
{
    const std::vector<CString> ways = choices.WaysOn();
    const std::vector<CString> barred = choices.WaysBarred();
    CString strBarred;
    for (size_t i = 0; i < barred.size(); ++i)
        strBarred += (i == 0 ? "" : i + 1 == barred.size() ? ", and " : ", ") + barred[i];
    CString strWays;
    if (ways.empty()) {
        strWays.Format("No way keeps all of its text: %s. Correct its bytes in an editor first (View > Changes shows "
                       "how it reads), and save again.", strBarred.GetString());
        return strWays;
    }
    CString strList;
    for (size_t i = 0; i < ways.size(); ++i)
        strList += (i == 0 ? "" : i + 1 == ways.size() ? " or " : ", ") + ways[i];
    strWays.Format("View > Changes shows how each way reads: take there the one meant (%s), and save again%s%s.",
                   strList.GetString(), strBarred.IsEmpty() ? "" : "; ", strBarred.GetString());
    // A way that reads letters otherwise than the page's own charset says which.
    const std::vector<CString> changes = choices.WayChanges();
    for (size_t i = 0; i < changes.size(); ++i) {
        CString strChange = changes[i];
        if (i == 0)
            strChange.SetAt(0, static_cast<char>(std::toupper(static_cast<unsigned char>(strChange[0]))));
        strWays += (i == 0 ? " " : "; ") + strChange + (i + 1 == changes.size() ? "." : "");
    }
    return strWays;
}

} // namespace

namespace {

// The character the charset reads a byte as, in UTF-8.
std::string ByteReadIn(const CPageCharset& charset, BYTE by)
{
    const char byte = static_cast<char>(by);
    return charset.Decode(std::string_view(&byte, 1));
}

bool IsCurrency(const std::string& utf8)
{
    size_t at = 0;
    const char32_t ch = utf8.empty() ? 0 : CPageCharset::NextCharacter(utf8, at);
    return ch >= 0x20A0 && ch <= 0x20CF;
}

} // namespace

CString CMetaEditEngine::DoubtReason(const CPageCharsetJudge::Verdict& verdict,
                                     const CString& strTaken) const
{
    const CUtf8Census& census = m_pJudge->GetCensus();
    const char* pszName = m_strOutputName.GetString();
    const PageCharsetReading& source = verdict.source;
    const PageCharsetReading& other = verdict.other;
    const std::string sourceName = source.charset.GetName();
    const std::string otherName = other.charset.GetName();
    // Where the two readings first differ, the byte and what each reads it as.
    const std::string readSource = ByteReadIn(source.charset, verdict.byFirstUnreadable);
    const std::string readOther = ByteReadIn(other.charset, verdict.byFirstUnreadable);
    const bool bSign = verdict.nFirstUnreadable >= 0
        && ((readSource == "\u00A4" && IsCurrency(readOther)) || (readOther == "\u00A4" && IsCurrency(readSource)));
    const bool bGiven = other.evidence == CharsetEvidence::Given;
    // A label that neither reading is: its bytes are not its text, and what they read as follows.
    const bool bNotLabel = m_reading.evidence == CharsetEvidence::Declaration
        && !m_reading.charset.WritesAs(source.charset) && !m_reading.charset.WritesAs(other.charset);
    CString strWhy;
    if (bNotLabel)
        strWhy.Format("its bytes are not the %s text it declares: ", m_reading.charset.GetName().c_str());
    const char* pszThey = bNotLabel ? "they" : "its bytes";
    CString strRead;
    if (other.charset.GetKind() == CPageCharset::Kind::Utf8 && census.HasInvalid()) {
        strRead.Format("it holds UTF-8 characters and also bytes that are no UTF-8 (the first is byte %lld, 0x%02X)",
                       census.GetFirstInvalid(), static_cast<unsigned>(census.GetFirstInvalidByte()));
    } else if (other.charset.GetKind() == CPageCharset::Kind::Utf8) {
        strRead.Format("%s read as %s and also as %s (%s), and its text does not tell which is meant", pszThey,
                       otherName.c_str(), sourceName.c_str(), EvidenceWords(source.evidence));
    } else if (bSign) {
        // A byte one reads as the sign ¤ and the other as a currency: the text tells nothing.
        strRead.Format("%s read as %s (%s) and also as %s (%s), which differ in byte %lld (0x%02X), \"%s\" in %s "
                       "and \"%s\" in %s, and nothing tells which is meant", pszThey, sourceName.c_str(),
                       EvidenceWords(source.evidence), otherName.c_str(), EvidenceWords(other.evidence),
                       verdict.nFirstUnreadable, static_cast<unsigned>(verdict.byFirstUnreadable), readSource.c_str(),
                       sourceName.c_str(), readOther.c_str(), otherName.c_str());
    } else if (bGiven) {
        // The charset given reads the page's letters otherwise than its label, or its likeliest
        // reading, does, and nothing sure tells which is meant: both are named.
        CString strSource;
        if (source.evidence == CharsetEvidence::Declaration)
            strSource.Format("its label, %s,", sourceName.c_str());
        else
            strSource.Format("%s (%s)", sourceName.c_str(), EvidenceWords(source.evidence));
        CString strWhere;
        if (verdict.nFirstUnreadable >= 0)
            strWhere.Format(": byte %lld (0x%02X) is \"%s\" in %s and \"%s\" in %s", verdict.nFirstUnreadable,
                            static_cast<unsigned>(verdict.byFirstUnreadable), readSource.c_str(), sourceName.c_str(),
                            readOther.c_str(), pszName);
        strRead.Format("%s and %s, the charset given, read %s differently%s, and nothing in its text tells which is meant",
                       strSource.GetString(), pszName, verdict.nFirstUnreadable >= 0 ? "its letters" : "its text",
                       strWhere.GetString());
    } else {
        const bool bShort = source.evidence == CharsetEvidence::WeakGuess || other.evidence == CharsetEvidence::WeakGuess;
        strRead.Format("%s read as %s (%s) and also as %s (%s), and %s", pszThey, sourceName.c_str(),
                       EvidenceWords(source.evidence), otherName.c_str(), EvidenceWords(other.evidence),
                       bShort ? "its text is too short to tell which is meant" : "nothing in its text tells which is meant");
    }
    strWhy += strRead;
    CString strReason;
    strReason.Format("%s, so it is neither converted to %s nor declared %s as it is.%s %s", strWhy.GetString(), pszName,
                     pszName, strTaken.GetString(), WaysOn(m_choices).GetString());
    return strReason;
}

void CMetaEditEngine::ChooseOutputCharset(const CPageCharset& target, const CPageCharsetJudge::Verdict& verdict)
{
    m_change = CharsetChange::Relabelled;
    switch (verdict.change) {
    case CPageCharsetJudge::Change::Relabel:
        m_written = target;
        return;
    case CPageCharsetJudge::Change::Doubt:
    case CPageCharsetJudge::Change::Unknown:
        if (!TakeWay(target, verdict))
            return;
        break;
    case CPageCharsetJudge::Change::Convert:
        m_sourceReading = verdict.source;
        break;
    }
    m_source = m_sourceReading.charset;
    m_pDecoder = std::make_unique<CPageDecoder>(m_source);
    m_pEncoder = std::make_unique<CPageEncoder>(target);
    m_output = target;
    m_bConvert = TRUE;
    m_change = CharsetChange::Converted;
}

BOOL CMetaEditEngine::TakeWay(const CPageCharset& target, const CPageCharsetJudge::Verdict& verdict)
{
    // Read one way or another, the page shows other text, or the charset it declares reads it as
    // no text: converting it from the one garbles what another reads, and declaring it anew may.
    // The user tells which is meant in the Preview, which shows each reading a way gives (the
    // page's own, converted from; the other its bytes read in, converted from or kept under the
    // new declaration where that reads them so; else the new declaration's); this save does what
    // was taken, where that loses no character.
    m_bDoubtSeen = TRUE;
    m_doubt[0] = verdict.source;
    const CPageCharset& other = m_wayOther.charset;
    const bool bOtherKnown = other.GetKind() != CPageCharset::Kind::Undeclared;
    const bool bOtherShown = bOtherKnown && (target.WritesAs(other) || m_choices.CanConvertOther()
                                             || (!m_choices.strOther.IsEmpty() && !m_choices.CanKeep()));
    m_doubt[1] = bOtherShown ? m_wayOther : PageCharsetReading{target, CharsetEvidence::Given};
    m_choices.second = bOtherShown && !m_choices.strOther.IsEmpty() ? CharsetChoices::Second::ConvertOther
                                                                     : CharsetChoices::Second::Keep;
    const CMetaContent* pEdit = ContentTypeEdit();
    const CharsetWay way = pEdit != nullptr ? pEdit->GetCharsetWay() : CharsetWay();
    // A way taken holds for the bytes the Preview showed, read as it showed them: a page changed
    // since is asked of again. One that cannot be carried out is not either: the page is left
    // alone, and the line says why.
    const char* pszName = m_strOutputName.GetString();
    const bool bChangedSince = way.choice != CharsetChoice::None && !m_choices.IsTakenOn(way);
    CString strTaken;
    if (bChangedSince && way.choice == CharsetChoice::KeepBytes)
        strTaken.Format(" Its bytes were to be kept, declared %s, as taken in View > Changes, but the page has changed "
                        "since.", pszName);
    else if (bChangedSince)
        strTaken.Format(" It was to be converted from %s, as taken in View > Changes, but the page has changed since.",
                        way.strSource.GetString());
    else if (way.choice == CharsetChoice::KeepBytes && !m_choices.CanCarryOut(way))
        strTaken.Format(" Its bytes were to be kept, declared %s, as taken in View > Changes, but that would leave "
                        "text unreadable.", pszName);
    else if (way.choice == CharsetChoice::Convert && !m_choices.CanCarryOut(way))
        strTaken.Format(" It was to be converted from %s, as taken in View > Changes, but that would lose text.",
                        way.strSource.GetString());
    else if (way.choice != CharsetChoice::None) {
        m_wayTaken = way;
        if (way.choice == CharsetChoice::KeepBytes) {
            m_written = target;
            return FALSE;
        }
        m_sourceReading = way.strSource == m_choices.strSource ? verdict.source : m_wayOther;
        return TRUE;
    }
    m_bInDoubt = TRUE;
    m_strRefusalReason = verdict.change == CPageCharsetJudge::Change::Doubt ? DoubtReason(verdict, strTaken)
                                                                             : UnknownReason(verdict, strTaken);
    return FALSE;
}

CString CMetaEditEngine::UnknownReason(const CPageCharsetJudge::Verdict& verdict, const CString& strTaken) const
{
    const CUtf8Census& census = m_pJudge->GetCensus();
    const char* pszName = m_strOutputName.GetString();
    const CString strLooks = LooksLikeText(verdict.other);
    CString strReason;
    if (verdict.source.evidence != CharsetEvidence::Declaration) {
        // Its own reading and another as likely, both shown: nothing tells which is meant.
        CString strTwo;
        if (verdict.other.charset.GetKind() != CPageCharset::Kind::Undeclared
            && !verdict.other.charset.WritesAs(verdict.source.charset))
            strTwo.Format("they look like %s (%s) or %s (%s), and nothing tells which is meant",
                          verdict.source.charset.GetName().c_str(), EvidenceWords(verdict.source.evidence),
                          verdict.other.charset.GetName().c_str(), EvidenceWords(verdict.other.evidence));
        strReason.Format("it declares no charset, and its bytes%s do not read as %s text: %s.%s %s",
                         census.HasInvalid() ? ", neither ASCII nor UTF-8," : "", pszName,
                         !strTwo.IsEmpty() ? strTwo.GetString()
                         : strLooks.IsEmpty() ? "nothing tells what they are in" : strLooks.GetString(),
                         strTaken.GetString(), WaysOn(m_choices).GetString());
        return strReason;
    }
    const char* pszLabel = verdict.source.charset.GetName().c_str();
    const bool bLooks = verdict.other.charset.GetKind() != CPageCharset::Kind::Undeclared;
    const char* pszLooks = verdict.other.charset.GetName().c_str();
    // Why the label is not taken is shown in the page: the bytes it leaves unread, and the first
    // word it reads odder than the likelier reading does, as each reads it. A guess alone is no
    // reason: the likelier reading is named as what the bytes read likelier as.
    CString strWhy;
    if (verdict.nFirstUnreadable >= 0) {
        const CString strWhat = verdict.source.charset.GetKind() == CPageCharset::Kind::Utf8
            ? CString("they hold bytes that are no UTF-8")
            : CString(pszLabel) + " reads them as control characters or bytes it leaves undefined";
        // Its word, unless the word the likelier reading reads otherwise is the same.
        CString strWord;
        if (!m_choices.firstOddWord.empty() && !(bLooks && m_choices.oddWord.nAt == verdict.nFirstUnreadable))
            strWord.Format(", in the word \"%s\"", m_choices.firstOddWord.c_str());
        strWhy.Format("%s (the first is byte %lld, 0x%02X%s)", strWhat.GetString(), verdict.nFirstUnreadable,
                      static_cast<unsigned>(verdict.byFirstUnreadable), strWord.GetString());
    }
    const COddWordFinder::OddWord& odd = m_choices.oddWord;
    CString strWhere;
    if (bLooks && odd.nAt >= 0)
        strWhere.Format("%s reads byte %lld (0x%02X) in the word \"%s\", where %s reads \"%s\"", pszLabel, odd.nAt,
                        static_cast<unsigned>(odd.by), odd.own.c_str(), pszLooks, odd.rival.c_str());
    else if (bLooks && verdict.nFirstUnreadable < 0 && verdict.nFirstOtherwise >= 0)
        strWhere.Format("%s reads byte %lld (0x%02X) as \"%s\", where %s reads \"%s\"", pszLabel, verdict.nFirstOtherwise,
                        static_cast<unsigned>(verdict.byFirstOtherwise),
                        ByteReadIn(verdict.source.charset, verdict.byFirstOtherwise).c_str(), pszLooks,
                        ByteReadIn(verdict.other.charset, verdict.byFirstOtherwise).c_str());
    CString strLikelier;
    if (bLooks)
        strLikelier.Format("their text reads likelier in %s than in %s", pszLooks, pszLabel);
    if (!strWhy.IsEmpty())
        strWhy += bLooks ? ", and " + (strWhere.IsEmpty() ? strLikelier : strWhere) : CString();
    else if (bLooks)
        strWhy = strWhere.IsEmpty() ? strLikelier : strLikelier + ": " + strWhere;
    else
        strWhy = CString(pszLabel) + " reads them as garbled text, and nothing tells what they are in";
    strReason.Format("its bytes are not the %s text it declares: %s.%s %s", pszLabel, strWhy.GetString(),
                     strTaken.GetString(), WaysOn(m_choices).GetString());
    return strReason;
}

void CMetaEditEngine::NoteDeclarationTakenOut()
{
    // A page that keeps a declaration reads as it did; one that loses it is told so, also where it
    // holds ASCII alone and reads alike in the charset browsers guess.
    if (!m_bContentTypeEdited || m_change != CharsetChange::None || m_reading.evidence != CharsetEvidence::Declaration
        || m_bWriteFailed)
        return;
    const PageCharsetReading after = CPageCharsetJudge::ReadStart(reinterpret_cast<const BYTE*>(m_outputStart.data()),
                                                                  static_cast<UINT>(m_outputStart.size()));
    if (after.evidence != CharsetEvidence::Guess && after.evidence != CharsetEvidence::Bytes)
        return;
    m_after = m_pJudge->GetReadingWithStart(after);
    m_change = CharsetChange::Undeclared;
}

PageCharsetReading CMetaEditEngine::GetReadingAfterSave() const
{
    switch (m_change) {
    case CharsetChange::Undeclared: return m_after;
    case CharsetChange::None: return m_reading;
    default: return {GetWrittenCharset(), CharsetEvidence::Declaration};
    }
}

void CMetaEditEngine::NoteConversionRefusal()
{
    if (!m_strRefusalReason.IsEmpty())
        return;
    if (m_pDecoder != nullptr && !m_pDecoder->IsReadWhole()) {
        m_strRefusalReason.Format("its bytes do not all read as %s, the charset it is in (the first that does not is "
                                  "byte %lld, 0x%02X), so it cannot be converted to %s.",
                                  m_source.GetName().c_str(), m_pDecoder->GetFirstUnread(),
                                  static_cast<unsigned>(m_pDecoder->GetFirstUnreadByte()),
                                  m_strOutputName.GetString());
        return;
    }
    if (m_pEncoder != nullptr && m_pEncoder->IsRefused())
        m_strRefusalReason = CCharsetChoiceCheck::RefusedWords(m_strOutputName, *m_pEncoder) + ".";
}

BOOL CMetaEditEngine::DeclaresOtherCharset(const CString& strName) const
{
    // Every declaration of the page says what the user typed: another name of the same charset
    // (GB2312 for GBK, TIS-620 for windows-874) is the user's word too.
    CString strDeclared = strName;
    strDeclared.Trim();
    return strDeclared.CompareNoCase(m_strOutputName) != 0;
}

CString CMetaEditEngine::WithXmlEncoding(const CString& strMarkup) const
{
    // A declaration that names an encoding changes only when that is another charset; one that
    // names none means UTF-8.
    int nStart = -1, nEnd = -1;
    if (FindDeclaredValue(strMarkup, "encoding", nStart, nEnd)) {
        if (!DeclaresOtherCharset(strMarkup.Mid(nStart, nEnd - nStart)))
            return strMarkup;
        return strMarkup.Left(nStart) + m_strOutputName + strMarkup.Mid(nEnd);
    }
    if (GetWrittenCharset().GetKind() == CPageCharset::Kind::Utf8)
        return strMarkup;
    // The encoding follows the version, before anything else the declaration holds.
    int nInsert = -1;
    if (FindDeclaredValue(strMarkup, "version", nStart, nEnd)) {
        nInsert = nEnd;
        if (nInsert < strMarkup.GetLength() && (strMarkup[nInsert] == '"' || strMarkup[nInsert] == '\''))
            ++nInsert;
    } else {
        nInsert = strMarkup.GetLength();
        while (nInsert > 0 && (strMarkup[nInsert - 1] == '?' || strMarkup[nInsert - 1] == ' '))
            --nInsert;
    }
    return strMarkup.Left(nInsert) + " encoding=\"" + m_strOutputName + "\"" + strMarkup.Mid(nInsert);
}

void CMetaEditEngine::PlaceRepeatsInPage()
{
    if (m_removedRepeats.empty())
        return;
    // The page's bytes are decoded again one at a time: where the UTF-8 reaches a place, the
    // bytes read so far are what stands before it in the page. The places come in order.
    CPageDecoder decoder(m_source);
    std::string decoded;
    size_t nRaw = 0;
    const auto inPage = [&](ULONGLONG nAt) -> ULONGLONG {
        const ULONGLONG nDecodedAt = nAt + m_nDecodedSkip;
        while (decoded.size() < nDecodedAt && nRaw < m_rawHead.size())
            decoder.Decode(m_rawHead.data() + nRaw++, 1, decoded);
        return nRaw;
    };
    for (RemovedRepeat& repeat : m_removedRepeats) {
        repeat.nFrom = inPage(repeat.nFrom);
        repeat.nTo = inPage(repeat.nTo);
    }
    m_rawHead.clear();
    m_rawHead.shrink_to_fit();
}
