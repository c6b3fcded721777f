#include "engine/project/OutputAreaLine.h"

#include "engine/project/EngineMessages.h"
#include "platform/core/AtomTable.h"
#include "platform/core/MessageQueue.h"

#include <mutex>
#include <string_view>

namespace {

constexpr size_t kMaxPiece = 255;

// Keeps the pieces of one line together in the pane's queue.
std::mutex& PostLock()
{
    static std::mutex s_lock;
    return s_lock;
}

// The length of the next piece: at most kMaxPiece bytes, not cutting a UTF-8 character.
size_t PieceLength(std::string_view rest)
{
    if (rest.size() <= kMaxPiece)
        return rest.size();
    size_t n = kMaxPiece;
    while (n > kMaxPiece - 3 && (static_cast<unsigned char>(rest[n]) & 0xC0) == 0x80)
        --n;
    return n;
}

} // namespace

CString FormatOutputAreaLine(const CString& strSource, const CString& strMessage)
{
    if (strSource.IsEmpty())
        return strMessage;
    CString strUpper(strSource);
    strUpper.MakeUpper();
    CString strLine;
    strLine.Format("%s : %s", strUpper, strMessage);
    return strLine;
}

BOOL PostOutputAreaLine(HWND hPane, const CString& strSource, const CString& strMessage)
{
    if (hPane == nullptr)
        return FALSE;
    const CString strLine = FormatOutputAreaLine(strSource, strMessage);
    std::string_view rest(strLine.GetString(), static_cast<size_t>(strLine.GetLength()));
    // An atom cannot be empty; the pane shows an empty line as a blank.
    const std::string strBlank = " ";
    if (rest.empty())
        rest = strBlank;
    std::lock_guard<std::mutex> guard(PostLock());
    while (!rest.empty()) {
        const size_t nPiece = PieceLength(rest);
        const std::string strPiece(rest.substr(0, nPiece));
        rest.remove_prefix(nPiece);
        const ATOM nAtom = AddAtom(strPiece.c_str());
        const LPARAM lParam = rest.empty() ? 0 : kOutputLineContinues;
        if (nAtom == 0)
            return FALSE;
        if (!PostMessage(hPane, kMsgOutputAddLine, static_cast<WPARAM>(nAtom), lParam)) {
            // Nobody will read it: give the reference back so the table does not fill up.
            DeleteAtom(nAtom);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL ReadOutputAreaLinePiece(WPARAM wParam, LPARAM lParam, std::string& strPending)
{
    char szPiece[kMaxPiece + 1] = {};
    const ATOM nAtom = static_cast<ATOM>(wParam);
    const UINT nLength = GetAtomName(nAtom, szPiece, sizeof(szPiece));
    DeleteAtom(nAtom);
    strPending.append(szPiece, nLength);
    return lParam == kOutputLineContinues ? FALSE : TRUE;
}
