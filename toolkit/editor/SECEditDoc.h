// The text of one editor window: a list of lines with the primitive edits, columns, files,
// undo and redo, the language and colour settings, and the document search.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"
#include "toolkit/editor/SECEditLine.h"
#include "toolkit/editor/SECEditSearch.h"

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CProfileStore;
class SECEditRegExp;

// Results of the document: 0, a string-table id below, or a platform error code.
constexpr int SECEDIT_READONLY = 22575;
constexpr int SECEDIT_CLIPBOARD_EMPTY = 22576;
constexpr int SECEDIT_CANT_READ = 22577;
constexpr int SECEDIT_LINE_TOO_LONG = 22578;
constexpr int SECEDIT_OUT_OF_MEMORY = 22579;
constexpr int SECEDIT_END_OF_FILE = 22580;
constexpr int SECEDIT_NO_SELECTION = 22581;
constexpr int SECEDIT_JOIN_LINE = 22589;
constexpr int SECEDIT_NULLS_IN_FILE = 22609;
constexpr int SECEDIT_LINES_WRAPPED = 22610;

// The widest line in display columns, the line end included.
constexpr int SECEDIT_MAX_WIDTH = 16384;

// Undo record kinds.
enum SECEditUndoKind {
    SECEDIT_UNDO_INSERTCHAR = 1,
    SECEDIT_UNDO_DELETECHAR = 2,
    SECEDIT_UNDO_DELETETEXT = 3,
    SECEDIT_UNDO_INSERTTEXT = 4,
    SECEDIT_UNDO_NONE = 5,
    SECEDIT_UNDO_SPLITLINE = 6,
    SECEDIT_UNDO_JOINLINE = 7,
    SECEDIT_UNDO_OVERWRITE = 8,
    SECEDIT_UNDO_DELETEBLOCK = 9,
    SECEDIT_UNDO_INSERTBLOCK = 10,
    SECEDIT_UNDO_INSERTFILE = 11,
};

constexpr int SECEDIT_UNDO_SLOTS = 2048;
constexpr int SECEDIT_UNDO_DROP = 512;

// One line's share of a column-block edit: the exact bytes that went in (padding included) or
// came out at an offset, and for an insert whether the line was split at its end to give the
// next row a line. The block text alone cannot say which padding, tabs or line splits were there,
// so Undo and Redo replay these.
struct SECEditBlockRow {
    int nOffset = 0;
    std::string strBytes;
    bool bSplit = false;
};

struct SECEditUndoRecord {
    int nKind = 0;
    int nStartLine = 0;
    int nStartOffset = 0;
    int nEndLine = 0;
    int nEndOffset = 0;
    char chNew = 0;
    char chOld = 0;
    DWORD dwStamp = 0;
    bool bHasText = false;
    std::string strText;
    // The edit also gave its line the document's line end (a last line typed on), or, for a
    // join, the first line had none: Undo and Redo restore exactly that.
    bool bLineEndAdded = false;
    // An overwrite at the end of the line's text, where it inserted.
    bool bAtEnd = false;
    // Column-block edits (kinds 9 and 10): one entry per line from the start line on.
    std::vector<SECEditBlockRow> blockRows;
};

// A further block delimiter pair (a comment or string kind beyond the two comment pairs).
struct SECEditBlockPair {
    std::string strStart;
    std::string strEnd;
};

class SECEditDoc {
public:
    // Settings are read from the profile's section named by SetSection (none: the defaults).
    explicit SECEditDoc(CProfileStore* pProfile = nullptr);
    virtual ~SECEditDoc();
    SECEditDoc(const SECEditDoc&) = delete;
    SECEditDoc& operator=(const SECEditDoc&) = delete;
    SECEditDoc(SECEditDoc&&) = delete;
    SECEditDoc& operator=(SECEditDoc&&) = delete;

    virtual BOOL IsModified() const { return m_bModified; }
    // Clearing the flag makes the current state the saved one, the state Undo and Redo call clean.
    virtual void SetModified(BOOL bModified);
    virtual void SetLockFiles(BOOL b) { m_bLockFiles = b; }
    virtual BOOL GetLockFiles() const { return m_bLockFiles; }
    virtual void SetReadOnly(BOOL b) { m_bReadOnly = b; }
    virtual BOOL IsReadOnly() const { return m_bReadOnly; }
    virtual void SetWordWrap(BOOL b) { m_bWordWrap = b; }
    virtual BOOL GetWordWrap() const { return m_bWordWrap; }
    virtual void SetInsertMode(BOOL b) { m_bInsertMode = b; }
    virtual BOOL GetInsertMode() const { return m_bInsertMode; }
    virtual void SetTabSize(int n) { m_nTabSize = n > 0 ? n : 1; }
    virtual int GetTabSize() const { return m_nTabSize; }

    // Language and colour settings.
    virtual int FindBlockStart(const char* pText, int nLength, int* pClass);
    virtual int FindBlockEnd(const char* pText, int nLength, int nClass);
    virtual BOOL FindKeyword(const char** ppText, int* pStart, int* pEnd);
    virtual BOOL LoadKeywordFile();
    virtual BOOL IsInBlock(const SECEditLine* pLine, const char* pOpener, const char* pCloser,
                           const char* pLineComment);
    // Whether a line starts inside a block opened above it, and of which class: the same answer
    // as the backward walk of IsInBlock, read from states cached at line starts and worked out
    // forwards from the nearest line still known, never from the top again after an edit.
    virtual BOOL GetLineBlockClass(const SECEditLine* pLine, int* pClass);
    // Forgets the cached block states below a line that is about to change (all with null).
    void TouchBlocks(const SECEditLine* pLine);
    virtual void LoadLanguageSettings();

    // Construction and settings.
    void Init();
    void ReadSettings();
    void SetSection(LPCSTR lpszSection);
    void ClearSection() { m_strSection.clear(); }
    void Clear();
    void SetLineEndType(int nType);
    int GetLineEndType() const { return m_nLineEndType; }
    int GetLineEndLength() const { return m_nLineEndLength; }
    const char* GetLineEnd() const { return m_szLineEnd; }
    void SetSpacesOnly(BOOL b) { m_bSpacesOnly = b; }
    BOOL GetKeepTabs() const { return m_bKeepTabs; }
    void SetKeepTabs(BOOL b) { m_bKeepTabs = b; }
    BOOL GetShowTabs() const { return m_bShowTabs; }
    const CString& GetFontName() const { return m_strFontName; }
    int GetFontSize() const { return m_nFontSize; }
    int GetFontWeight() const { return m_nFontWeight; }
    BOOL GetFontItalic() const { return m_bFontItalic; }
    int GetCharSet() const { return m_nCharSet; }

    // Lines and positions.
    SECEditLine* GetFirstLine() const { return m_pFirstLine; }
    int GetLineCount() const { return m_nLineCount; }
    SECEditLine* GetLine(int nLine) const;
    // The 1-based number of a line of the list. Edits that add or remove lines leave the numbers
    // below them to be worked out here, from the first stale line down to the one asked for, so
    // that Enter deep in a long page does not walk the rest of it.
    int LineNo(const SECEditLine* pLine) const;
    // Numbers every line of the list from 1 at once; the line count.
    int Renumber(SECEditLine* pLine = nullptr);
    static BOOL IsBefore(const SECEditPos& a, const SECEditPos& b);
    // The bytes of a line before its line end.
    int TextLength(const SECEditLine* pLine) const;

    // Columns.
    int ColumnFromOffset(const SECEditLine* pLine, int nOffset) const;
    int OffsetFromColumn(const SECEditLine* pLine, int nColumn) const;
    std::string ExpandTabs(const char* pText, int nLength, int nLineEndLength) const;

    // Line ends.
    static int DetectLineEnd(const char* pText, int nLength);
    // Converts the text's own line ends (of the kind it starts with) to the given type.
    static std::string ConvertLineEnds(const char* pText, int nLength, int nType);

    // Edits: 0, or the id of the refusal.
    int PadToPosition(SECEditPos& pos, BOOL bRecord);
    int InsertChar(SECEditPos& pos, char ch, BOOL bInsert, BOOL bRecord);
    int InsertString(SECEditPos& pos, const char* pText, BOOL bInsert, BOOL bRecord);
    int DeleteChar(SECEditPos& pos, BOOL bRecord);
    int DeleteChars(SECEditPos& pos, int nCount, BOOL bRecord);
    int SplitLine(SECEditPos& pos, BOOL bRecord);
    int JoinLine(SECEditPos& pos, BOOL bRecord);
    int InsertText(SECEditPos& pos, const char* pText, int nLength, BOOL bRecord,
                   int* pNewLength = nullptr);
    int InsertColumnBlock(SECEditPos& pos, const char* pText, int nLength, BOOL bRecord);
    int DeleteRange(SECEditPos from, SECEditPos to, BOOL bRecord);
    int DeleteColumnBlock(SECEditPos from, SECEditPos to, BOOL bRecord);
    // The text between two positions with CR LF line ends; false when a position is missing.
    bool GetText(SECEditPos from, SECEditPos to, std::string& text) const;
    bool GetColumnBlock(SECEditPos from, SECEditPos to, std::string& text) const;
    int InsertFileLines(SECEditPos& pos, LPCSTR lpszPath, BOOL bRecord);
    // A text given a piece at a time, cut anywhere, becomes the document's text as the same text
    // inserted whole into an empty document would: BeginLoad empties the document, each piece
    // adds the lines it completes (the text after its last line end waits for the next piece),
    // and FinishLoad adds what waits. A long text is loaded without a copy of it whole, and its
    // loader may look at the keys between two pieces. Nothing is recorded for undo. 0, or the id
    // of the refusal (a NUL in the text, no memory).
    void BeginLoad();
    int LoadPiece(const char* pText, int nLength);
    int FinishLoad();

    // Files.
    int LoadFile(LPCSTR lpszPath);
    int SaveFile(LPCSTR lpszPath);
    int ReplaceFile(LPCSTR lpszTemporary, LPCSTR lpszTarget);
    // Splits a text into a chain of lines (see the source); the caller owns the chain.
    SECEditLine* SplitLines(const char* pText, int nLength, SECEditLine** ppTail, int* pCount);

    // Undo and redo.
    int BeginUndoGroup(BOOL bBegin);
    DWORD GetUndoStamp() const { return m_dwUndoStamp; }
    BOOL AddUndoRecord(const SECEditUndoRecord& record, const char* pText, int nTextLength = -1);
    BOOL Undo();
    BOOL Redo();
    void ResetUndo();
    int GetUndoCount() const { return m_nUndoCurrent; }
    int GetRedoCount() const { return m_nUndoTop - m_nUndoCurrent; }
    const SECEditUndoRecord& GetUndoRecord(int nIndex) const { return m_undo[nIndex]; }

    // Search. Moves from to a match of the request between from and limit and sets the match
    // length; FALSE when nothing matches or the pattern does not compile.
    BOOL Search(SECEditPos& from, const SECEditPos& limit, SECEditSearch& request);
    // Replaces every match from the start of the document as one undo step; the count of
    // replacements, or -1 when the pattern does not compile.
    int ReplaceAll(SECEditSearch& request, LPCSTR lpszReplace);
    static int FindFirstOf(const char* pPattern, const char* pText, int nLength);
    static int FindLastOf(const char* pPattern, const char* pText, int nLength);

    // Language helpers.
    BOOL IsWordChar(unsigned char ch) const;
    const char* NextWord(const char* pText, int nLength, int* pWordLength) const;
    static int HashWord(const char* pText, int nLength);
    COLORREF GetKeywordColor(const char* pKeyword);
    int AddBlockPair(const char* pStart, const char* pEnd);
    int FindNoCase(const char* pPattern, const char* pBuffer, int nLength) const;
    static int FindLast(const char* pPattern, const char* pBuffer, int nLength);
    static BOOL IsInQuotes(const char* pText, int nPosition);
    int GetIniString(const char* pSection, const char* pKey, std::string& value,
                     const char* pDefault) const;
    static CString FormatColor(COLORREF color);
    static COLORREF ParseColor(const char* pText);
    const std::string& GetKeywordFilePath() const { return m_strKeywordFile; }
    void SetKeywordFilePath(const std::string& path) { m_strKeywordFile = path; }
    BOOL GetChroma() const { return m_bChroma; }
    BOOL GetCase() const { return m_bCase; }
    BOOL GetAutoindent() const { return m_bAutoindent; }
    BOOL GetBlockOpen() const { return m_bBlockOpen; }
    COLORREF GetCurrentKeywordColor() const { return m_crCurrentKeyword; }
    COLORREF m_crKeyword = 0;
    COLORREF m_crQuote = 0;
    COLORREF m_crSQuote = 0;
    COLORREF m_crComment = 0;
    COLORREF m_crText = 0;
    COLORREF m_crBackground = 0;
    char m_szCommentStart1[16] = {};
    char m_szCommentEnd1[16] = {};
    char m_szCommentStart2[16] = {};
    char m_szCommentEnd2[16] = {};
    // Kept for the windows that show the document: how many lines carry a bookmark, and the
    // window that has (or last had) the focus, whose selection is the one drawn.
    int m_nBookmarks = 0;
    void* m_pActiveWnd = nullptr;

protected:
    // Told once per load when lines wider than the maximum were cut; the window shows
    // SECEDIT_LINES_WRAPPED with the maximum.
    virtual void OnLinesCut(int nMaxWidth) { (void)nMaxWidth; }

private:
    friend class SECEditUndoApplier;
    struct EditScope;

    UINT ProfileInt(LPCSTR key, int nDefault) const;
    CString ProfileString(LPCSTR key, LPCSTR lpszDefault) const;

    SECEditLine* NewLine(int nBytes);
    static bool GrowLine(SECEditLine* pLine, int nBytes);
    static void FreeLine(SECEditLine* pLine);
    static void FreeChain(SECEditLine* pLine);
    void FreeLines();
    bool EndsWithLineEnd(const SECEditLine* pLine) const;
    void AppendLineEnd(SECEditLine* pLine);
    int WidthOf(const char* p, int n) const;
    int TextWidth(const SECEditLine* pLine) const;
    int InsertBytes(SECEditLine* pLine, int nOffset, const char* p, int n);
    void MarkChanged(BOOL bRecord);
    void Record(int nKind, const SECEditPos& start, const SECEditPos& end, const char* pText,
                int nTextLength = -1, char chNew = 0, char chOld = 0);
    void Record(int nKind, int nStartLine, int nStartOffset, int nEndLine, int nEndOffset,
                const char* pText, int nTextLength = -1);
    int JoinAfter(SECEditLine* pLine);
    void NumberThrough(const SECEditLine* pLine) const;
    void StaleFrom(SECEditLine* pLine);
    SECEditLine* LastLine() const;
    int ReadFileText(HANDLE hFile, std::string& text);
    void ApplyUndo(const SECEditUndoRecord& rec);
    void PutBlockRows(const SECEditUndoRecord& rec, bool bUndo);
    void TakeBlockRows(const SECEditUndoRecord& rec, bool bUndo);
    void ApplyRedo(const SECEditUndoRecord& rec);
    bool SameStep(const SECEditUndoRecord& a, const SECEditUndoRecord& b) const;
    void CloseLock();
    DWORD BlockStep(DWORD dwState, const SECEditLine* pLine);
    void ReadWordChars();
    bool SearchPiece(const char* pPiece, int nLength, int nFrom, int nLimit, SECEditSearch& request,
                     SECEditRegExp* pRegExp, bool bForward, int* pOffset, int* pMatch);

    CProfileStore* m_pProfile;
    std::vector<SECEditBlockPair> m_blockPairs;
    BOOL m_bSpacesOnly = FALSE;
    SECEditLine* m_pFirstLine = nullptr;
    // The line GetLine found last and its number: lookups near it (the caret's, undo's) walk
    // from there rather than from the top. Forgotten whenever lines are added or removed.
    mutable SECEditLine* m_pNearLine = nullptr;
    mutable int m_nNearLineNo = 0;
    // The last line, once known; kept in step by the edits that add lines at the end or free it.
    mutable SECEditLine* m_pLastLine = nullptr;
    // The first line whose number may be wrong (null: every number is right). Numbers are
    // trusted only above it; it always names a line of the list.
    mutable SECEditLine* m_pStaleLine = nullptr;

    std::vector<SECEditUndoRecord> m_undo;
    int m_nUndoCurrent = 0;
    int m_nUndoTop = 0;
    DWORD m_dwUndoStamp = 0;
    // The undo index at which the text equals the saved file; -1 once no index does.
    int m_nSavePoint = 0;
    bool m_bApplyingUndo = false;
    int m_nEditDepth = 0;
    static int s_nUndoGroupDepth;

    HANDLE m_hLock = nullptr;
    int m_nLineEndLength = 2;
    char m_szLineEnd[3] = "\r\n";
    int m_nLineCount = 0;
    BOOL m_bModified = FALSE;
    BOOL m_bReadOnly = FALSE;
    BOOL m_bWordWrap = FALSE;
    int m_nTabSize = 3;
    BOOL m_bKeepTabs = TRUE;
    BOOL m_bShowTabs = FALSE;
    BOOL m_bInsertMode = TRUE;
    BOOL m_bLockFiles = FALSE;
    int m_nLineEndType = 0;
    CString m_strFontName;
    int m_nFontSize = 9;
    int m_nFontWeight = 400;
    BOOL m_bFontItalic = FALSE;
    int m_nCharSet = 0;
    std::string m_strSection;

    // Language.
    BOOL m_bAutoindent = TRUE;
    BOOL m_bBlockOpen = FALSE;
    BOOL m_bChroma = FALSE;
    BOOL m_bCase = FALSE;
    COLORREF m_crCurrentKeyword = 0;
    std::string m_strKeywordFile;
    std::array<unsigned char, 256> m_extraWordChars{};
    std::array<unsigned char, 256> m_terminatorChars{};
    std::array<unsigned char, 256> m_startChars{};
    struct Keyword {
        std::string strText;
        COLORREF color = static_cast<COLORREF>(-1);
        bool bKnown = false;
    };
    std::vector<Keyword> m_keywords;        // open addressing; empty until the file is read
    // Cached block states: lines numbered up to m_nBlockValid carrying m_nBlockStamp are known.
    int m_nBlockStamp = 1;
    int m_nBlockValid = 0;
    std::string m_keywordImage;
    bool m_bHasKeywordImage = false;
    // The text of a load in pieces that waits for the rest of its line, and whether the load
    // has taken its line end from the text yet.
    std::string m_loadHeld;
    bool m_bLoadLineEndKnown = false;
    int AddLoadedLines(bool bLast);
};
