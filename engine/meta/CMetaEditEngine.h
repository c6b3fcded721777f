// CMetaEditEngine: copies one HTML page into an output file while lexing it, putting the
// page's edited META tags and title in. Every byte it does not replace is copied as the page
// has it, so a page without edits comes out identical: a tag the page has keeps all of itself
// but its CONTENT value, and tags it lacks go on lines of their own before the head's end tag,
// closed by "/>" in an XHTML page.
#pragma once

#include "engine/html/CHtmlLexer.h"
#include "engine/html/CKeptSpelling.h"
#include "engine/html/CPageCharset.h"
#include "engine/html/CPageCharsetJudge.h"
#include "engine/html/CPageEncoder.h"
#include "engine/html/CTitleScope.h"
#include "engine/meta/CCharsetChoiceCheck.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CShiftMask.h"
#include "engine/meta/CSpillFile.h"
#include "engine/meta/IRewriteWatch.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class CFile;
class CMetaContent;
class CMetaContentList;
class CPageNode;

// The string-table ids of the page faults that GetError names.
inline constexpr UINT kIdsMissingHtmlStart = 62520;  // "Missing HTML start tag."
inline constexpr UINT kIdsMissingHeadStart = 62521;  // "Missing HEAD start tag."
inline constexpr UINT kIdsMissingHeadEnd = 62522;    // "Missing HEAD end tag."

// The text of one of the ids above; empty for any other id.
CString GetMetaEditErrorText(UINT nID);
// Why a page whose Content-Type names a charset no converter knows is not saved: its text would
// stay in the old charset under the new declaration.
CString GetUnwritableCharsetText(const CString& strCharset);

// What a page's edited Content-Type does to its bytes: nothing (no charset named), only the
// declarations (its bytes already read as the charset named, or are taken to be in it), all of
// them (converted), or how they are read: the page's only declaration was taken out, and
// browsers guess its charset.
enum class CharsetChange { None, Relabelled, Converted, Undeclared };

class CMetaEditEngine : public CHtmlLexer {
    DECLARE_DYNAMIC(CMetaEditEngine)
public:
    // Nothing is owned. The edited contents are the page's edited META contents; a content's
    // modified flag means "not written yet" and is cleared as its tag is written, so callers
    // pass a copy. The page's title and title-edited flag are read and cleared. hMessageWnd is
    // the Output Area pane for write-failure lines, or null.
    CMetaEditEngine(CMetaContentList* pContents, CPageNode* pPage, CFile* pInput, CFile* pOutput, HWND hMessageWnd);
    ~CMetaEditEngine() override;

    // Lexes the whole input, writing the copy; returns 0. A lexer failure (a read error) raises
    // the platform's file exception after what was written so far has reached the output.
    int Run();
    // Whoever waits for the rewrite: told how far it came, and asked whether to stop, between
    // pieces of the page. Not owned; none by default.
    void SetWatch(IRewriteWatch* pWatch) { m_pWatch = pWatch; }
    // After Run: whether the watch stopped it. The copy is then incomplete, and nothing else the
    // engine tells of the page holds.
    BOOL WasStopped() const { return m_bStopped; }
    // 0 when the page had the HTML start tag, the HEAD start tag and the HEAD end tag;
    // otherwise 1 and the id of the first that was missing, tested in that order.
    UINT GetError(UINT& nID) const;
    // The charset an edited Content-Type names that the page cannot be written in, as the value
    // has it; empty when there is none. The copy then keeps the page's own charset and must not
    // replace the page.
    const CString& GetUnwritableCharset() const { return m_strUnwritableCharset; }
    // After Run: why the copy must not replace the page, in the user's words; empty when it may.
    // A new charset is refused for a page it cannot be written in: one named no page is written
    // in, a page whose bytes do not all read in its own charset, and a character the new charset
    // lacks where neither a reference nor an escape would be read.
    CString GetRefusal() const;
    // Why the page would not be written, without what the save then does ("Not saved", the page
    // left as it was): for a caller that only shows the page, such as the preview.
    const CString& GetRefusalReason() const { return m_strRefusalReason; }
    // What the edited Content-Type does to the page's bytes, and the charset the copy is in.
    CharsetChange GetCharsetChange() const { return m_change; }
    const CPageCharset& GetWrittenCharset() const { return m_change == CharsetChange::Converted ? m_output : m_written; }
    // The charset the page's own bytes are in, as they are decoded for a conversion.
    CPageCharset GetPageCharset() const { return m_bConvert ? m_source : m_charset; }
    // The same with what it rests on: how the page is read now, or what it is converted from.
    PageCharsetReading GetPageReading() const { return m_bConvert ? m_sourceReading : m_reading; }
    // How the copy will be read: in the charset it declares, or by the guess once its only
    // declaration was taken out.
    PageCharsetReading GetReadingAfterSave() const;
    // A page refused because its bytes read two ways under the new charset and nothing tells
    // which is meant, or because the charset they are in is not known: the reading converting
    // from its own charset keeps, then the other way its bytes read, where a way gives it
    // (kept under the new declaration, or converted from), else the one the new declaration
    // gives them. FALSE for any other page, and for one whose way the user took and the save
    // carries out.
    BOOL GetReadingsInDoubt(PageCharsetReading& first, PageCharsetReading& second) const
    {
        first = m_doubt[0];
        second = m_doubt[1];
        return m_bInDoubt;
    }
    // What the user took for such a page, with the edited Content-Type, and what the copy does:
    // None when the page was not in doubt, or the user took nothing yet.
    CharsetChoice GetCharsetChoice() const { return m_wayTaken.choice; }
    const CharsetWay& GetCharsetWay() const { return m_wayTaken; }
    // Whether the page's bytes read two ways under the new charset, or in no charset known, a
    // way taken or not.
    BOOL IsInDoubt() const { return m_bDoubtSeen; }
    // For such a page, which ways of taking it the save can carry out, and why not the others.
    const CharsetChoices& GetCharsetChoices() const { return m_choices; }
    // After Run, of a page converted: how many characters the new charset lacks were written as
    // references or escapes, and the first of them.
    size_t GetEscapedCount() const { return m_pEncoder != nullptr ? m_pEncoder->GetEscapedCount() : 0; }
    char32_t GetFirstEscaped() const { return m_pEncoder != nullptr ? m_pEncoder->GetFirstEscaped() : 0; }
    // Whether a write to the output failed: the copy is then incomplete and must not replace
    // the page.
    BOOL GetWriteFailed() const { return m_bWriteFailed; }
    // Why the bytes the engine held back beside the copy could not be kept (ERROR_DISK_FULL,
    // ...): a write failure the output file never saw. 0 when there was none.
    DWORD GetHeldWriteError() const { return m_dwHeldError; }

    void OnStartTag(LPCSTR pszName, int nLength) override;
    void OnAttrName(LPCSTR pszName, int nLength) override;
    void OnAttrNoValue(LPCSTR pszName, int nLength) override;
    void OnAttrTokenValue(LPCSTR pszValue, int nLength) override;
    void OnAttrValue(LPCSTR pszValue, int nLength) override;
    void OnTagEnd() override;
    void OnEndTag(LPCSTR pszName, int nLength) override;
    void ClearValueText() override;
    void AppendValueText(LPCSTR pszText, int nLength) override;
    void FlushValueText() override;
    void OnText(LPCSTR pszText, int nLength) override;
    void OnWhitespace(LPCSTR pszText, int nLength) override;
    void OnMarkup(LPCSTR pszText, int nLength) override;
    void OnStray(LPCSTR pszText, int nLength) override;
    void OnScriptText(LPCSTR pszText, int nLength) override;
    void OnUnmatched(LPCSTR pszText, int nLength) override;
    // Finds SCRIPT and PLAINTEXT in any case, so that script content is never taken for tags.
    void CheckSpecialTag(LPCSTR pszName, int nLength) override;
    // Names keep the case they have in the page.
    void MakeUpper(LPSTR pszText, int nLength) override;
    // After the start tag that ends what is lexed (the body's), the rest of the page is copied as
    // it is, a piece at a time, rather than handed to the lexer as one token.
    int GetPendingState() override;
    // The first read takes the page's first 2048 bytes, from which the page's charset is found:
    // what the engine writes in goes in that charset.
    int ReadInput(LPSTR pBuffer, int nMax) override;

    // The charset the page was read in, once the first read found it: UTF-8 after a byte order
    // mark, else the charset it declares, or Windows-1252 for a page declaring UTF-8 whose bytes
    // are no UTF-8.
    const CPageCharset& GetCharset() const { return m_charset; }

    // A META tag taken out because a tag of its name came before it in the head and took the
    // value: a page keeps one tag of a name. Its name as the page has it, and where it stood in
    // the page, [nFrom, nTo) in bytes from the page's start.
    struct RemovedRepeat {
        CString strName;
        ULONGLONG nFrom = 0;
        ULONGLONG nTo = 0;
    };
    // After Run: the repeated tags taken out, in the page's order.
    const std::vector<RemovedRepeat>& GetRemovedRepeats() const { return m_removedRepeats; }
    // After Run: the names of the edited contents the catalogue holds no setting for (one
    // deleted or renamed since the edit), in the list's order. The engine has no tag to write for
    // them: the page keeps its tags of those names as they are, and their marks are cleared.
    const std::vector<CString>& GetEditsWithoutSetting() const { return m_editsWithoutSetting; }

private:
    // Text of the current token as the page has it.
    void EmitToken();
    // Holds the text while in a META tag, otherwise passes it to Put.
    void Emit(LPCSTR pszText, int nLength);
    // Holds the text while in the TITLE element, otherwise writes it.
    void Put(LPCSTR pszText, int nLength);
    // Keeps the text as the next of the TITLE element's content; past kTitleHoldLimit the content
    // and how it is spelled go beside the copy.
    void HoldTitleText(LPCSTR pszText, int nLength);
    // The TITLE element's content so far, in bytes.
    int TitleTextLength() const;
    // Notes the current token's spelling as the next of the title's; past the limit the pieces
    // go beside the copy too.
    void NoteTitleSpelling(LPCSTR pszRead, int nRead, BOOL bSpace);
    // Takes the TITLE element's content held beside the copy back into memory, with its
    // spelling, to be respelled; FALSE when it could not be read back.
    BOOL TakeTitleBack();
    // Writes the TITLE element's content as the page has it, and forgets it.
    void WriteTitleText();
    // Whether the TITLE element's content is all in m_strTitleText.
    BOOL TitleTextInMemory() const { return m_pTitleSpill == nullptr; }
    void Put(const CString& str) { Put(str.GetString(), str.GetLength()); }
    // Writes the whitespace held back, then the text.
    void Write(LPCSTR pszText, int nLength);
    void Write(const CString& str) { Write(str.GetString(), str.GetLength()); }
    // The one place that writes to the output file (buffered).
    void WriteOut(LPCSTR pszText, int nLength);
    // Writes the buffered output; a page written in a new charset keeps a character cut off at
    // the buffer's end for the next flush, unless it is the last.
    enum class FlushPart { All, WholeCharacters };
    void FlushOutput(FlushPart part = FlushPart::All);
    // Writes the bytes to the output file, as the copy has them.
    void WriteData(const std::string& data);
    void ReportWriteFailure(const CString& strMessage);
    // The bytes held back beside the copy could not be kept: the copy fails.
    void FailHeld(DWORD dwError);
    // Whitespace between tags is held back until what follows it is known: a tag added at the
    // head's end takes a line of its own within it, and a removed tag takes its line along.
    void HoldSpace(LPCSTR pszText, int nLength);
    // Whether what comes next stands first on its line; strIndent gets the blanks before it.
    // nHeldFrom gets where those blanks start in the held whitespace, or -1 when some were
    // written already.
    BOOL StartsLine(CString& strIndent, int& nHeldFrom) const;
    // Takes the edits the catalogue has no setting for out of what is written; before the lexer.
    void SetAsideEditsWithoutSetting();
    BOOL IsSetAside(const CMetaContent* pContent) const;
    // The META tag being held back is complete: write it, its rewritten form or nothing.
    void FinishMetaTag();
    // The held META tag with its CONTENT value replaced by the value, everything else of it as
    // the page has it.
    CString WithContent(const CString& strHeld, const CString& strValue, BOOL bCutByTag) const;
    // The value in the page's charset, escaped for the quote it stands between (0: none).
    CString AttributeValueForPage(const CString& strValue, char chQuote) const;
    // Writes every content still marked and, without a title in the head, the title, each on a
    // line of its own before the head's end tag.
    void AddPendingTags();
    // The TITLE element to add for the page's title; FALSE when the title is empty.
    BOOL ComposeTitle(CString& strElement) const;
    // Whether the user edited the page's title and it is not written yet.
    BOOL TitleEdited() const;
    // An edited title the head lacks: the lines that add it are kept for the page's end, at
    // the output's end as it stands, in case the page has a TITLE element further on.
    void KeepTitlePlace(const CString& strLines);
    // At the page's end: a title still sought goes in its place in the head.
    void PlaceTitle();
    // The search for the page's own TITLE element is over: the output held back from the
    // title's place on follows, after the title's lines when they are placed.
    enum class TitleLines { Placed, Dropped };
    void EndTitleSearch(TitleLines lines);
    // While the title is sought, or the declaration's place is kept, what the output holds from
    // that place on goes beside the copy, so that a page of any size is held by the disk rather
    // than in memory. FALSE when it could not be kept, which fails the copy.
    BOOL SpillAfterPlace(size_t nPlace);
    // The output held back from the place on follows, after the text put in there.
    void EndHold(size_t nPlace, const CString& strInsert);
    // The declaration's place is no longer kept: what was held back after it follows.
    void EndDeclarationHold();
    // The catalogue's tag for the content's text; empty when the text is empty or the content
    // has no setting.
    CString ComposeTag(const CMetaContent& content) const;
    // The CONTENT value of the content's tag; empty when it makes no tag.
    CString ComposeValue(const CMetaContent& content) const;
    // The line end the page uses: its first one, LF when it has none.
    const CString& LineEnd() const { return m_strLineEnd; }
    // Writes whatever is still held back at the end of the input.
    void FlushHeld();
    void NoteAttributeValue(LPCSTR pszValue, int nLength);
    // What markup outside tags tells of the page: an XML declaration or an XHTML DOCTYPE.
    void NoteMarkup(LPCSTR pszText, int nLength);
    // Text of the engine's own (UTF-8) in the page's charset.
    CString ForPage(const CString& strText) const;
    // Whether an edit still to be written holds characters beyond ASCII: its title or a value.
    BOOL EditsBeyondAscii() const;
    // Whether the page's bytes read as text in the charset its label names, as a conversion
    // would take them to be in: the label is not in question.
    BOOL LabelStands() const;
    // Looks at the page from the first read's sample on: its first line end and, for a page
    // declaring UTF-8, whether it is UTF-8 at all; a judge that looks whole sees all of its
    // bytes. The input is taken back to where the sample ends; one that cannot be has the bytes
    // looked at held for the lexer, as much as kLookAheadLimit.
    void LookAtPage(const char* pSample, int nSample, CPageCharsetJudge& judge);
    // The edited Content-Type still to be written: its value, and the charset it names as the
    // value has it (empty when it names none); whether there is one.
    BOOL FindContentTypeEdit(CString& strValue, CString& strName) const;
    // The edited Content-Type still to be written, or null.
    const CMetaContent* ContentTypeEdit() const;
    // Whether the content is the page's Content-Type.
    static BOOL IsContentType(const CMetaContent& content);
    // Decides whether the page is written in another charset than it was read in, given the
    // charset named and what the page's bytes say of it.
    void ChooseOutputCharset(const CPageCharset& target, const CPageCharsetJudge::Verdict& verdict);
    // A page in doubt, or whose charset is not known: carries out the way the user took, where it
    // loses nothing, or refuses the page with the ways on. Whether the page is converted (from
    // m_sourceReading).
    BOOL TakeWay(const CPageCharset& target, const CPageCharsetJudge::Verdict& verdict);
    // Why a page whose charset is not known is left alone, and the ways on.
    CString UnknownReason(const CPageCharsetJudge::Verdict& verdict, const CString& strTaken) const;
    // Puts the page's added Content-Type after its head's start tag, when the head's end lies
    // beyond where browsers look for a declaration; whether it did.
    BOOL PlaceDeclaration(const CString& strTag);
    // Why a page whose bytes read two ways is left alone, and the ways on the save can carry out;
    // strTaken: why the way taken could not be.
    CString DoubtReason(const CPageCharsetJudge::Verdict& verdict,
                        const CString& strTaken) const;
    // The page's bytes once more, from the first read's sample on, each piece given the look;
    // the input is taken back to where it was. FALSE when the rewrite was stopped.
    BOOL ReadAgain(const char* pSample, int nSample, const std::function<void(const char*, size_t)>& look);
    // Which ways of taking a page in doubt can be carried out: all of its bytes are looked at
    // again, from the first read's sample on; the input is taken back to where it was.
    CharsetChoices CheckChoices(const char* pSample, int nSample, const CPageCharsetJudge::Verdict& verdict,
                                const CPageCharset& target);
    // Takes the input back by the bytes read past what is held; a page that cannot be read
    // again is refused.
    void TakeInputBack(LONGLONG nBytes);
    // A "<meta charset>" declares what a Content-Type does: an edited Content-Type goes into it,
    // so that the page keeps one declaration. Whether the held tag was one.
    BOOL FinishCharsetTag(const CString& strHeld);
    // After the copy was written: whether its only declaration was taken out.
    void NoteDeclarationTakenOut();
    // What refuses the new charset once the page was read: a byte that does not read, a
    // character that cannot be written where it stands.
    void NoteConversionRefusal();
    // Whether a declaration in the page names a charset other than the one it is written in.
    BOOL DeclaresOtherCharset(const CString& strName) const;
    // The XML declaration's markup naming the charset the page is written in.
    CString WithXmlEncoding(const CString& strMarkup) const;
    // The page's bytes as the lexer reads them, after its start: in UTF-8 for a page written in a
    // new charset, else its own bytes, masked where the charset needs it. 0 at the end, or once
    // the rewrite is stopped.
    int ReadOnward(LPSTR pBuffer, int nMax);
    // The page's bytes in UTF-8, for a page written in a new charset.
    int ReadDecoded(LPSTR pBuffer, int nMax);
    // Copies the rest of the page after what the lexer read, as it is.
    void CopyRest();
    // Whether the rewrite is to stop; once it is, it stays stopped.
    BOOL StopRequested();
    // The bytes of the page just read, for the watch.
    void NoteRead(LONGLONG nBytes);
    // Whether the input can be read again from an earlier place: the bytes looked at ahead need
    // not then be held.
    BOOL CanReadAgain() const;
    // The removed repeats of a page written in a new charset were found in its UTF-8 text:
    // their places become those of the page's own bytes.
    void PlaceRepeatsInPage();
    // The page's bytes: those looked at ahead first, then the input's.
    int ReadRaw(LPSTR pBuffer, int nMax);
    // The page's title as the content of a TITLE element, in the page's charset.
    CString TitleForPage() const;
    // The same in place of the page's own title text: what the user did not change keeps the
    // page's spelling.
    CString TitleInPlace() const;
    // Element text in the page's charset, escaped.
    CString TextForPage(std::string_view text) const;
    // The charset of the text the lexer reads: the page's, or UTF-8 for a page being converted.
    CPageCharset LexedCharset() const;
    // Notes the current token as the next piece of the title, or of the CONTENT value being
    // read: as the bytes it reads as, or as what a reference reads as.
    void NoteSpelling(CKeptSpelling& spelling, int nFrom, LPCSTR pszRead, int nRead);

    UINT m_bLowerCase = 0;
    UINT m_bHeadEndSeen = 0;
    UINT m_bHeadStartSeen = 0;
    UINT m_bHtmlStartSeen = 0;
    UINT m_bTitleWritten = 0;
    CPageNode* m_pPage;
    UINT m_bInTitle = 0;
    HWND m_hMessageWnd;
    CString m_strHeldText;      // the META tag being held back
    UINT m_bInMeta = 0;
    UINT m_bInHead = 0;
    CFile* m_pOutput;
    CFile* m_pInput;
    CMetaContentList* m_pEditedContents;

    CString m_strTitleText;     // the TITLE element's content being held back
    CKeptSpelling m_titleSpelling; // how m_strTitleText spells the title
    CKeptSpelling m_valueSpelling; // how the held META tag spells its quoted CONTENT value
    int m_nValueTextEnd = -1;   // where that value's text ends in the held text (before its quote)
    CString m_strAttrName;      // the attribute whose value comes next (upper case)
    CString m_strKey;           // the META tag's NAME or HTTP-EQUIV value
    BOOL m_bHaveKey = FALSE;
    BOOL m_bKeyUpper = FALSE;   // the key's attribute name is upper case
    BOOL m_bCaseKnown = FALSE;  // whether a start tag of this page set the case yet
    BOOL m_bTitleStarting = FALSE; // the TITLE start tag is open; its content is held from its end
    BOOL m_bBodySeen = FALSE;
    // Where a TITLE element is the page's, as the scan takes it.
    CTitleScope m_titleScope;
    // An edited title the head lacked is sought in the rest of the page: its lines wait at
    // m_nTitlePlace of the output held back, which is not written until the page's end.
    BOOL m_bSeekingTitle = FALSE;
    size_t m_nTitlePlace = 0;
    CString m_strTitleLines;
    // The output after m_nTitlePlace, or after m_nDeclarationPlace, held beside the copy; the two
    // places are never kept at once.
    std::unique_ptr<CSpillFile> m_pSpill;
    char m_chAfterPlace = 0;    // the first byte the spill holds
    std::unique_ptr<CSpillFile> m_pTitleSpill; // a long TITLE content, held beside the copy
    std::unique_ptr<CSpillFile> m_pTitleSpellingSpill; // and the pieces of its spelling
    DWORD m_dwHeldError = 0;
    std::string m_buffer;       // output not yet written
    BOOL m_bWriteFailed = FALSE;
    CPageCharset m_charset;
    PageCharsetReading m_reading; // m_charset with what it rests on
    BOOL m_bCharsetKnown = FALSE;
    BOOL m_bReadFailed = FALSE;  // a read ended in a failure, told after the bytes held
    // A page lexed in a charset whose characters hold bytes of markup has them masked on their
    // way to the lexer, and unmasked on their way out.
    BOOL m_bMasked = FALSE;
    CShiftMask m_lexedMask;
    CShiftMask m_writtenMask;
    IRewriteWatch* m_pWatch = nullptr;
    BOOL m_bStopped = FALSE;
    ULONGLONG m_nReadDone = 0;   // the bytes read of the page, over every time it is read
    ULONGLONG m_nReadTotal = 0;  // as many as it takes
    BOOL m_bCopyRest = FALSE;    // the lexer is done: the rest is copied as it is
    // The page's bytes looked at before the lexer asked for them, held only where the input cannot
    // be read again.
    BOOL m_bHoldAhead = FALSE;
    std::string m_ahead;
    size_t m_nAheadPos = 0;
    CString m_strLineEnd = "\n";
    // A page whose edited Content-Type declares a new charset is read into UTF-8 and written in
    // that charset: m_charset is then UTF-8 and the output is converted as it is flushed.
    std::unique_ptr<CPageDecoder> m_pDecoder;
    std::string m_decoded;       // the page's UTF-8 not yet handed to the lexer
    size_t m_nDecodedPos = 0;
    bool m_bDecodeEnded = false;
    CPageCharset m_source;       // the charset the page's bytes are decoded from
    PageCharsetReading m_sourceReading;
    std::string m_rawHead;       // the page's bytes up to its head's end, for PlaceRepeatsInPage
    size_t m_nDecodedSkip = 0;   // the UTF-8 at the decoded text's start the lexer never saw
    CPageCharset m_output;       // the charset the page is converted to
    std::unique_ptr<CPageEncoder> m_pEncoder;
    CString m_strOutputName;     // the charset named, as the Content-Type value has it
    BOOL m_bConvert = FALSE;
    CharsetChange m_change = CharsetChange::None;
    CPageCharset m_written;      // the charset what the engine writes in goes in, unconverted
    // The charset what the user typed is written in: m_written, but references alone where the
    // page's bytes are in another charset than its label names, so that the text reads right in
    // whichever of the two the page is read.
    CPageCharset m_typedIn;
    std::unique_ptr<CPageCharsetJudge> m_pJudge; // what the page's bytes say of its charset
    BOOL m_bContentTypeEdited = FALSE; // the page's Content-Type is edited
    BOOL m_bStartDeclares = FALSE;     // a declaration stands where browsers look for one
    BOOL m_bHeadStarting = FALSE;      // the head's start tag is being read
    // Where an added Content-Type goes when the head's end lies beyond the browsers' reach: the
    // output from there is held until the head's end.
    BOOL m_bDeclarationPlaceKept = FALSE;
    size_t m_nDeclarationPlace = 0;
    ULONGLONG m_nFlushed = 0;          // the bytes of the copy written out
    CString m_strContentTypeValue;
    BOOL m_bCharsetTagTookEdit = FALSE; // a "<meta charset>" declares the edited charset
    std::string m_outputStart;   // the copy's first bytes, which tell how it will be read
    PageCharsetReading m_after;  // Undeclared: how the copy will be read
    CString m_strUnwritableCharset;
    CString m_strRefusalReason; // why the page is not to be written; empty when it is
    BOOL m_bInDoubt = FALSE;     // refused: its bytes read two ways, m_doubt
    BOOL m_bDoubtSeen = FALSE;   // they read two ways, refused or written as the user took
    PageCharsetReading m_doubt[2];
    CharsetWay m_wayTaken;       // the way the user took that this save carries out
    CharsetChoices m_choices;    // the ways of taking such a page that can be carried out
    PageCharsetReading m_wayOther; // the other reading a way gives: the verdict's, or the detector's

    // Where the held META tag's CONTENT value stands: [m_nValueStart, m_nValueEnd) of the held
    // text, quotes included; -1 when the tag has none. A value to add goes in at the start.
    enum class ContentState { None, ValueNext, InQuotes };
    ContentState m_contentState = ContentState::None;
    int m_nValueStart = -1;
    int m_nValueEnd = -1;
    char m_chValueQuote = 0;    // the value's quote, 0 when it has none
    // Where the held META tag's CHARSET value stands, quotes left out; -1 when it has none.
    ContentState m_charsetState = ContentState::None;
    int m_nCharsetStart = -1;
    int m_nCharsetEnd = -1;
    CString m_strValuePrefix;   // what goes before a value that has no place yet ("=")
    int m_nTagEnd = -1;         // where the held tag's closing ">" (or cutting "<") stands
    ULONGLONG m_nMetaFrom = 0;  // where the held tag starts in the page
    std::vector<RemovedRepeat> m_removedRepeats;
    std::unordered_set<const CMetaContent*> m_setAside; // edits without a setting: tags as the page has them
    std::vector<CString> m_editsWithoutSetting;

    // Layout: whitespace not yet written, and what the output's current line holds.
    CString m_strHeldSpace;
    BOOL m_bLineHasText = FALSE;
    CString m_strLineIndent;    // the blanks that begin the output's current line
    CString m_strMetaIndent;    // of the head's last META tag that began a line
    BOOL m_bHaveMetaIndent = FALSE;
    CString m_strHeadIndent;    // of the head's last other element that began a line
    BOOL m_bHaveHeadIndent = FALSE;
    int m_nMetaLineFrom = -1;   // the held META tag began a line whose blanks start here
    int m_nDropFrom = -1;       // a removed tag's line: its blanks and line end go

    // Whether the page is XHTML, so that the tags written in must be closed ("/>").
    BOOL m_bXhtml = FALSE;
    BOOL m_bInStartTag = FALSE;
    BOOL m_bInHtmlTag = FALSE;
    BOOL m_bSlashBeforeEnd = FALSE; // the open start tag's last token was "/"
    BOOL m_bAfterPiStart = FALSE;   // "<?" was the last markup
    BOOL m_bInDoctype = FALSE;
};
