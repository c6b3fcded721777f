// The editor window's clipboard: stream text and column blocks (plain text after a marker
// line), pasting and dropping either form, and inserting the whole text of a file.
#include "toolkit/editor/wnd/SECEditCtrl.h"

#include "toolkit/editor/Utf8Cells.h"

#include "platform/core/CFileException.h"
#include "platform/core/FileApi.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Keyboard.h"

#include <cstring>

namespace {

// Whether text is a column block: the marker, then one line end (CR LF, LF CR, CR or LF),
// which *pBlock skips. Nothing is read past the text.
bool IsColumnBlock(const char* pText, int nLength, int* pBlock)
{
    const int m = SECEDIT_COLUMN_MARKER_LENGTH;
    if (pText == nullptr || nLength <= m || std::memcmp(pText, SECEDIT_COLUMN_MARKER, static_cast<size_t>(m)) != 0)
        return false;
    const char a = pText[m];
    if (a != '\r' && a != '\n')
        return false;
    int skip = 1;
    if (nLength > m + 1) {
        const char b = pText[m + 1];
        if ((a == '\r' && b == '\n') || (a == '\n' && b == '\r'))
            skip = 2;
    }
    *pBlock = m + skip;
    return true;
}

bool ClipHasLineBreak(const char* pText, int nLength)
{
    return std::memchr(pText, '\r', static_cast<size_t>(nLength)) != nullptr
        || std::memchr(pText, '\n', static_cast<size_t>(nLength)) != nullptr;
}

// The text of a global memory block, never past the block.
std::string BlockText(HGLOBAL block)
{
    std::string text;
    if (block == nullptr)
        return text;
    if (const auto* p = static_cast<const char*>(GlobalLock(block))) {
        text.assign(p, strnlen(p, GlobalSize(block)));
        GlobalUnlock(block);
    }
    return text;
}

} // namespace

int SECEditCtrl::Copy()
{
    if (!m_bSelection)
        return 0;
    std::string text;
    if (!GetClipText(text))
        return SECEDIT_OUT_OF_MEMORY;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, text.size() + 1);
    if (block == nullptr)
        return SECEDIT_OUT_OF_MEMORY;
    if (auto* p = static_cast<char*>(GlobalLock(block))) {
        std::memcpy(p, text.data(), text.size());
        p[text.size()] = '\0';
        GlobalUnlock(block);
    }
    if (!OpenClipboard(m_hWnd)) {
        GlobalFree(block);
        return SECEDIT_CLIPBOARD_EMPTY;
    }
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    return 0;
}

int SECEditCtrl::Cut()
{
    if (GetDocument()->IsReadOnly() || !m_bSelection)
        return 0;
    int rc = Copy();
    if (rc == 0)
        rc = DeleteSelection(TRUE);
    return rc;
}

int SECEditCtrl::InsertSingleLine(const char* pText, int nLength)
{
    SECEditDoc* pDoc = GetDocument();
    editor::ColumnCounter counter{pDoc->GetTabSize()};
    counter.Feed(pText, nLength);
    if (std::max(TextEndColumn(m_pCaretLine), m_nCaretColumn) + counter.column > SECEDIT_MAX_WIDTH - 1)
        return SECEDIT_LINE_TOO_LONG;
    SECEditPos pos = CaretPos();
    std::string text(pText, static_cast<size_t>(nLength));
    const int rc = pDoc->InsertString(pos, text.c_str(), TRUE, TRUE);
    if (rc != 0)
        return rc;
    m_nCaretColumn = pDoc->ColumnFromOffset(m_pCaretLine, pos.nOffset + nLength);
    InvalidateCaretRow();
    MakeCaretVisible();
    NotifyCaret();
    return 0;
}

int SECEditCtrl::ReplaceSelectionWith(const char* pText, int nLength)
{
    SECEditDoc* pDoc = GetDocument();
    if (m_bSelection)
        DeleteSelection(FALSE);
    if (nLength == 0)
        return 0;
    if (!ClipHasLineBreak(pText, nLength))
        return InsertSingleLine(pText, nLength);
    // The caret ends where the rest of its line starts again.
    SECEditPos pos = CaretPos();
    const int lineNo = m_nCaretLineNo;
    const int tail = std::max(0, m_pCaretLine->nLength - pos.nOffset);
    const int before = pDoc->GetLineCount();
    const int rc = pDoc->InsertText(pos, pText, nLength, TRUE);
    if (rc != 0)
        return rc;
    SECEditLine* last = pDoc->GetLine(lineNo + pDoc->GetLineCount() - before);
    SetCaret(last, pDoc->ColumnFromOffset(last, std::max(0, last->nLength - tail)));
    SyncLineCount();
    const int rows = VisibleRows();
    if (rows > 0 && m_nCaretLineNo >= m_nTopLineNo + rows) {
        m_pTopLine = m_pCaretLine;
        m_nTopLineNo = m_nCaretLineNo;
        for (int i = 0; i < rows - 1 && m_pTopLine->pPrev != nullptr; ++i) {
            m_pTopLine = m_pTopLine->pPrev;
            --m_nTopLineNo;
        }
    }
    return 0;
}

int SECEditCtrl::PasteColumnBlock(const char* pText, int nLength)
{
    SECEditDoc* pDoc = GetDocument();
    if (!ClipHasLineBreak(pText, nLength))
        return InsertSingleLine(pText, nLength);
    SECEditPos pos = CaretPos();
    const int rc = pDoc->InsertColumnBlock(pos, pText, nLength, TRUE);
    if (rc != 0)
        return rc;
    SyncLineCount();
    if (m_bRedraw && m_hWnd != nullptr)
        Invalidate(FALSE);
    return 0;
}

int SECEditCtrl::InsertClipText(const char* pText, int nLength)
{
    SECEditDoc* pDoc = GetDocument();
    if (pDoc->IsReadOnly())
        return SECEDIT_READONLY;
    int block = 0;
    if (IsColumnBlock(pText, nLength, &block))
        return PasteColumnBlock(pText + block, nLength - block);
    if (!ClipHasLineBreak(pText, nLength)) {
        SECEditPos pos = CaretPos();
        std::string text(pText, static_cast<size_t>(nLength));
        const int rc = pDoc->InsertString(pos, text.c_str(), TRUE, TRUE);
        if (rc == 0)
            m_nCaretColumn = pDoc->ColumnFromOffset(m_pCaretLine, pos.nOffset + nLength);
        return rc;
    }
    return ReplaceSelectionWith(pText, nLength);
}

int SECEditCtrl::Paste()
{
    SECEditDoc* pDoc = GetDocument();
    if (pDoc->IsReadOnly())
        return 0;
    if (!OpenClipboard(m_hWnd))
        return SECEDIT_CLIPBOARD_EMPTY;
    if (!IsClipboardFormatAvailable(CF_TEXT)) {
        CloseClipboard();
        return SECEDIT_CLIPBOARD_EMPTY;
    }
    pDoc->BeginUndoGroup(TRUE);
    if (m_bSelection)
        DeleteSelection(FALSE);
    const std::string text = BlockText(static_cast<HGLOBAL>(GetClipboardData(CF_TEXT)));
    CloseClipboard();
    int rc = 0;
    int block = 0;
    if (IsColumnBlock(text.data(), static_cast<int>(text.size()), &block))
        rc = PasteColumnBlock(text.data() + block, static_cast<int>(text.size()) - block);
    else
        rc = ReplaceSelectionWith(text.data(), static_cast<int>(text.size()));
    if (rc == 0) {
        if (m_bRedraw && m_hWnd != nullptr)
            Invalidate(FALSE);
        MakeCaretVisible();
        OnUpdate(this, 0, nullptr);
    }
    pDoc->BeginUndoGroup(FALSE);
    return rc;
}

void SECEditCtrl::OnEditCopy()
{
    const int rc = Copy();
    if (rc != 0)
        ReportError(rc, m_bRedraw);
}

void SECEditCtrl::OnEditCut()
{
    const int rc = Cut();
    if (rc != 0)
        ReportError(rc, m_bRedraw);
}

void SECEditCtrl::OnEditPaste()
{
    const int rc = Paste();
    if (rc != 0)
        ReportError(rc, m_bRedraw);
}

int SECEditCtrl::InsertFile(LPCSTR lpszPath)
{
    HANDLE file = CreateFileA(lpszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszPath);
    std::string text;
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    if (size != INVALID_FILE_SIZE && high == 0)
        text.reserve(size);
    for (;;) {
        constexpr DWORD kChunk = 1u << 20;
        const size_t at = text.size();
        text.resize(at + kChunk);
        DWORD got = 0;
        if (!ReadFile(file, text.data() + at, kChunk, &got, nullptr)) {
            const DWORD error = GetLastError();
            CloseHandle(file);
            CFileException::ThrowOsError(static_cast<LONG>(error), lpszPath);
        }
        text.resize(at + got);
        if (got == 0)
            break;
    }
    CloseHandle(file);
    return InsertText(text);
}

int SECEditCtrl::InsertText(const std::string& text)
{
    if (text.size() > 0x7FFFFFF0u)
        return ReportError(SECEDIT_OUT_OF_MEMORY, m_bRedraw);
    // A NUL would silently end the text: say so instead.
    if (std::memchr(text.data(), '\0', text.size()) != nullptr)
        return ReportError(SECEDIT_NULLS_IN_FILE, m_bRedraw);

    SECEditDoc* pDoc = GetDocument();
    if (pDoc->IsReadOnly())
        return ReportError(SECEDIT_READONLY, m_bRedraw);
    // An empty document takes the file's own line ends, so that its bytes stay as they are.
    if (pDoc->GetLineCount() == 1 && pDoc->GetFirstLine()->nLength == 0) {
        const int kind = SECEditDoc::DetectLineEnd(text.data(), static_cast<int>(text.size()));
        if (kind >= 0)
            pDoc->SetLineEndType(kind);
    }
    pDoc->BeginUndoGroup(TRUE);
    int rc = 0;
    if (m_bSelection)
        rc = DeleteSelection(FALSE);
    const int length = static_cast<int>(text.size());
    if (rc == 0 && length > 0) {
        if (!ClipHasLineBreak(text.data(), length) && length < SECEDIT_MAX_WIDTH - pDoc->GetLineEndLength()) {
            rc = InsertSingleLine(text.data(), length);
        } else {
            // Several lines, or one too wide for a line, which the document cuts as a load
            // cuts it; the caret stays where the text begins.
            SECEditPos pos = CaretPos();
            const int column = m_nCaretColumn;
            rc = pDoc->InsertText(pos, text.data(), length, TRUE);
            SetCaret(pos.pLine, column);
        }
    }
    pDoc->BeginUndoGroup(FALSE);
    SyncLineCount();
    OnUpdate(this, 0, nullptr);
    if (m_bRedraw && m_hWnd != nullptr)
        Invalidate(FALSE);
    MakeCaretVisible();
    if (rc != 0)
        ReportError(rc, m_bRedraw);
    return rc;
}
