#include "engine/project/OutputAreaLine.h"

#include "engine/project/EngineMessages.h"
#include "platform/core/AtomTable.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/ThreadApi.h"

#include <string_view>

namespace {

constexpr size_t kMaxPiece = 255;

// The poster's key in lParam, beside the continues mark.
LPARAM PosterKey()
{
    return static_cast<LPARAM>(GetCurrentThreadId()) << 1;
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
    const LPARAM key = PosterKey();
    while (!rest.empty()) {
        const size_t nPiece = PieceLength(rest);
        const std::string strPiece(rest.substr(0, nPiece));
        rest.remove_prefix(nPiece);
        const ATOM nAtom = AddAtom(strPiece.c_str());
        const LPARAM lParam = key | (rest.empty() ? 0 : kOutputLineContinues);
        if (nAtom == 0)
            return FALSE;
        if (!PostMessageWhenRoom(hPane, kMsgOutputAddLine, static_cast<WPARAM>(nAtom), lParam)) {
            // Nobody will read it: give the reference back so the table does not fill up.
            DeleteAtom(nAtom);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL ReadOutputAreaLinePiece(WPARAM wParam, LPARAM lParam, OutputAreaPieces& pending, std::string& strLine)
{
    char szPiece[kMaxPiece + 1] = {};
    const ATOM nAtom = static_cast<ATOM>(wParam);
    const UINT nLength = GetAtomName(nAtom, szPiece, sizeof(szPiece));
    DeleteAtom(nAtom);
    const LPARAM key = lParam & ~kOutputLineContinues;
    std::string& strPending = pending[key];
    strPending.append(szPiece, nLength);
    if (lParam & kOutputLineContinues)
        return FALSE;
    strLine.swap(strPending);
    pending.erase(key);
    return TRUE;
}
