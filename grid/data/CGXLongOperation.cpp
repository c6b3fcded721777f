#include "grid/data/CGXLongOperation.h"

#include "platform/core/TickCount.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

IMPLEMENT_DYNAMIC(CGXAbstractLongOperationImp, CObject)

namespace {

CGXAbstractLongOperationImp* g_pImp = nullptr;
constexpr const char* kSpinner[4] = {"  -", "  \\", "  |", "  /"};

// Index of a level's kept slot, or -1 past the kept levels.
int Slot(int nLevel)
{
    return nLevel >= 1 && nLevel <= GX_LONGOP_MAXLEVELS ? nLevel - 1 : -1;
}

// The largest length <= n that does not end inside a UTF-8 sequence.
size_t CutAtCharBoundary(const char* s, size_t n)
{
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;
    return n;
}

} // namespace

CGXLongOperationState& GXGetLongOperationState()
{
    static CGXLongOperationState state;
    return state;
}

CGXAbstractLongOperationImp* GXGetLongOperationImp()
{
    return g_pImp;
}

CGXAbstractLongOperationImp* GXSetLongOperationImp(CGXAbstractLongOperationImp* pImp)
{
    CGXAbstractLongOperationImp* pOld = g_pImp;
    g_pImp = pImp;
    return pOld;
}

LPCTSTR CGXLongOperationState::GetText(int nLevel) const
{
    const int slot = Slot(std::min(nLevel, GX_LONGOP_MAXLEVELS));
    LPCTSTR p = slot >= 0 ? m_apszText[slot] : nullptr;
    return p != nullptr ? p : "";
}

size_t CGXAbstractLongOperationImp::FormatStatus(char* pszOut, size_t nSize, LPCTSTR lpszText, int nPercent,
                                                 LPCTSTR lpszHint, int nSpinner)
{
    if (pszOut == nullptr || nSize == 0)
        return 0;
    char suffix[GX_LONGOP_STATUSSIZE * 2] = {};
    size_t n = 0;
    auto add = [&](const char* s) {
        const size_t len = std::min(std::strlen(s), sizeof(suffix) - 1 - n);
        std::memcpy(suffix + n, s, len);
        n += len;
    };
    if (nPercent >= 0) {
        char percent[16];
        std::snprintf(percent, sizeof(percent), " %3d%%. ", std::min(nPercent, 100));
        add(percent);
    }
    if (lpszHint != nullptr) {
        add("   ");
        add(lpszHint);
    }
    if (nSpinner >= 0)
        add(kSpinner[nSpinner & 3]);
    const size_t room = nSize - 1;
    const size_t nSuffix = std::min(n, room);
    const char* text = lpszText != nullptr ? lpszText : "";
    const size_t nText = CutAtCharBoundary(text, std::min(std::strlen(text), room - nSuffix));
    std::memcpy(pszOut, text, nText);
    std::memcpy(pszOut + nText, suffix, nSuffix);
    pszOut[nText + nSuffix] = '\0';
    return nText + nSuffix;
}

DWORD CGXAbstractLongOperationImp::GetTicks()
{
    return ::GetTickCount();
}

void CGXAbstractLongOperationImp::ShowStatusText(LPCTSTR, BOOL) {}

GXAbortAnswer CGXAbstractLongOperationImp::AskAbort(int)
{
    return gxAnswerContinue;
}

void CGXAbstractLongOperationImp::Begin(CGXLongOperation& op)
{
    CGXLongOperationState& s = GXGetLongOperationState();
    const DWORD now = GetTicks();
    const int nLevel = ++s.m_nLevel;
    if (nLevel > 1) {
        // A nested operation shows its parent's text until it sets its own (not copied).
        const int slot = Slot(nLevel);
        if (slot >= 0) {
            s.m_apszText[slot] = s.GetText(nLevel - 1);
            s.m_abOwnsText[slot] = FALSE;
        }
    } else {
        s.m_nPercentDone = -1;
        s.m_nMaxShownLevel = -1;
        s.m_bEscPressed = FALSE;
        s.m_bBusy = FALSE;
        s.m_bCanCancel = TRUE;
        s.m_nQuestionMode = 0;
        s.m_sWhyNoCancel.Empty();
        s.m_nStopsAtBegin = s.m_nStops;
        s.m_bTakenBack = FALSE;
        // ESC is looked for once the poll interval has passed: work shorter than that never
        // reads the display's events.
        s.m_dwLastEscLook = now;
        s.m_apszText[0] = s.m_sDefaultText.GetString();
        s.m_abOwnsText[0] = FALSE;
    }
    s.m_bCancelled = FALSE;
    s.m_bRollback = FALSE;
    op.m_dwStart = op.m_dwLast = now;
    op.m_bRestoreEndText = TRUE;
    op.m_bShowText = TRUE;
}

void CGXAbstractLongOperationImp::End(CGXLongOperation& op)
{
    CGXLongOperationState& s = GXGetLongOperationState();
    FreeStatusText(op);
    if (s.m_nLevel > 0)
        --s.m_nLevel;
    if (s.m_nLevel == 0 && s.m_bBusy) {
        EndWaitCursor();
        // "Done." after the user stopped the work would tell that it did what it was asked.
        const CString& strEnd = s.m_nStops == s.m_nStopsAtBegin ? s.m_sDoneText
                                : s.m_bTakenBack               ? s.m_sTakenBackText
                                                               : s.m_sStoppedText;
        if (op.m_bRestoreEndText)
            ShowStatusText(strEnd.GetString(), TRUE);
    }
}

void CGXAbstractLongOperationImp::FreeStatusText(CGXLongOperation&)
{
    CGXLongOperationState& s = GXGetLongOperationState();
    const int slot = Slot(s.m_nLevel);
    if (slot < 0 || !s.m_abOwnsText[slot])
        return;
    s.m_abOwnsText[slot] = FALSE;
    s.m_apszText[slot] = nullptr;
    s.m_asOwnedText[slot].Empty();
}

void CGXAbstractLongOperationImp::SetStatusText(CGXLongOperation& op, LPCTSTR lpszText, BOOL bCopy)
{
    CGXLongOperationState& s = GXGetLongOperationState();
    FreeStatusText(op);
    const int slot = Slot(s.m_nLevel);
    // Levels past the kept ones are counted but keep no text; hidden levels keep none either.
    if (slot < 0 || !s.IsLevelShown(s.m_nLevel))
        return;
    if (bCopy) {
        s.m_asOwnedText[slot] = lpszText != nullptr ? lpszText : "";
        s.m_apszText[slot] = s.m_asOwnedText[slot].GetString();
        s.m_abOwnsText[slot] = TRUE;
    } else {
        s.m_apszText[slot] = lpszText;
    }
}

BOOL CGXAbstractLongOperationImp::IsEscPressedEarly(DWORD now)
{
    CGXLongOperationState& s = GXGetLongOperationState();
    const DWORD nInterval = std::min(s.m_nPollInterval, s.m_nUpdateInterval);
    if ((!s.m_bCanCancel && s.m_sWhyNoCancel.IsEmpty()) || now - s.m_dwLastEscLook < nInterval)
        return FALSE;
    s.m_dwLastEscLook = now;
    return IsEscWaiting();
}

BOOL CGXAbstractLongOperationImp::IsLookDue(const CGXLongOperation& op, DWORD now, BOOL bWithCancel, Look look)
{
    const CGXLongOperationState& s = GXGetLongOperationState();
    // Before the first wait nothing shows, whatever the caller asks, unless the user pressed
    // ESC in a piece of work that answers it: heard only after the first wait, the key pressed
    // in a short operation's first moments went unheard to its end.
    if (!s.m_bBusy)
        return now - op.m_dwStart >= s.m_nFirstWait || (bWithCancel && IsEscPressedEarly(now));
    // Once busy, an operation looks at the queue as often as the poll interval allows, and any
    // level does when none has looked for twice as long: the many short inner steps of a long
    // operation keep the window answering as one long loop does, while the operation that
    // looks often keeps the turn, so that what the window shows between two looks is its fresh
    // text. ESC an inner step noted is asked about at the first look that may cancel.
    const DWORD nInterval = std::min(s.m_nPollInterval, s.m_nUpdateInterval);
    const BOOL bEscWaits = bWithCancel && s.m_bCanCancel && s.m_bEscPressed && !s.m_bCancelled;
    return look == Look::Now || bEscWaits || now - op.m_dwLast >= nInterval || now - s.m_dwLastPoll >= 2 * nInterval;
}

BOOL CGXAbstractLongOperationImp::Refresh(CGXLongOperation& op, BOOL bWithCancel, BOOL* pbCancelled, Look look)
{
    CGXLongOperationState& s = GXGetLongOperationState();
    const DWORD now = GetTicks();
    if (!IsLookDue(op, now, bWithCancel, look))
        return FALSE;
    // The first look shows the meter even from inside a step whose own text is hidden: the
    // question an early ESC brings, or a long first step, would otherwise stand under no meter.
    if (op.m_bShowText && (s.IsLevelShown(s.m_nLevel) || !s.m_bBusy))
        ShowProgress(now, bWithCancel && s.m_bCanCancel);
    PumpMessages(op);
    if (bWithCancel && !s.m_bCanCancel && s.m_bEscPressed && !s.m_sWhyNoCancel.IsEmpty()) {
        // The work cannot stop at all, at this level or around it: the user hears why.
        const CString strWhy = s.m_sWhyNoCancel;
        TellWhyNoStop(strWhy.GetString());
        s.m_bEscPressed = FALSE;
    }
    if (bWithCancel && s.m_bCanCancel && s.m_bEscPressed && !s.m_bCancelled) {
        if (s.m_bAskAbort) {
            const GXAbortAnswer answer = AskAbort(s.m_nQuestionMode);
            if (answer != gxAnswerContinue)
                s.m_bCancelled = TRUE;
            if (answer == gxAnswerCancelRollback)
                s.m_bRollback = TRUE;
        } else {
            s.m_bCancelled = TRUE;
            s.m_bRollback = s.m_nQuestionMode != 0;
        }
        if (s.m_bCancelled)
            ++s.m_nStops;
        s.m_bEscPressed = FALSE;
    }
    // ESC while cancelling is not allowed is swallowed, but only by the outermost operation:
    // an inner one that may not stop halfway leaves the key to the operation around it, which
    // stops between two of its pieces.
    if (!s.m_bCanCancel && s.m_nLevel <= 1)
        s.m_bEscPressed = FALSE;
    if (pbCancelled != nullptr)
        *pbCancelled = s.m_bCancelled;
    op.m_dwLast = s.m_dwLastPoll = now;
    return TRUE;
}

void CGXAbstractLongOperationImp::ShowProgress(DWORD now, BOOL bHint)
{
    CGXLongOperationState& s = GXGetLongOperationState();
    // The spinner turns once per update interval; in between a look shows the same sign, and
    // sends the text only when it changed (its percentage).
    const BOOL bTurn = !s.m_bBusy || now - s.m_dwLastShown >= s.m_nUpdateInterval;
    int nSpinner = -1;
    if (s.m_nPercentDone < 0) {
        if (bTurn) {
            nSpinner = s.m_nSpinner;
            s.m_nSpinner = (s.m_nSpinner + 1) & 3;
        } else {
            nSpinner = (s.m_nSpinner + 3) & 3;
        }
    }
    char text[GX_LONGOP_STATUSSIZE];
    const int nLevel = s.IsLevelShown(s.m_nLevel) ? s.m_nLevel : s.m_nMaxShownLevel + 1;
    FormatStatus(text, sizeof(text), s.GetText(nLevel), s.m_nPercentDone, bHint ? s.m_sCancelHint.GetString() : nullptr, nSpinner);
    if (!bTurn && std::strcmp(text, s.m_szStatus) == 0)
        return;
    std::memcpy(s.m_szStatus, text, sizeof(text));
    s.m_dwLastShown = now;
    ShowStatusText(s.m_szStatus, FALSE);
}

BOOL CGXAbstractLongOperationImp::DoMessages(CGXLongOperation& op, BOOL& bCancelled)
{
    bCancelled = FALSE;
    return Refresh(op, TRUE, &bCancelled);
}

BOOL CGXAbstractLongOperationImp::DoMessages(CGXLongOperation& op)
{
    return Refresh(op, FALSE, nullptr);
}

BOOL CGXAbstractLongOperationImp::DoMessagesNow(CGXLongOperation& op, BOOL& bCancelled)
{
    bCancelled = FALSE;
    return Refresh(op, TRUE, &bCancelled, Look::Now);
}

void CGXAbstractLongOperationImp::PumpMessages(CGXLongOperation&)
{
    CGXLongOperationState& s = GXGetLongOperationState();
    if (!s.m_bBusy) {
        BeginWaitCursor();
        s.m_bBusy = TRUE;
    }
}

CGXLongOperation::CGXLongOperation()
{
    if (CGXAbstractLongOperationImp* p = GXGetLongOperationImp())
        p->Begin(*this);
    else
        ++GXGetLongOperationState().m_nLevel;
}

CGXLongOperation::~CGXLongOperation()
{
    if (CGXAbstractLongOperationImp* p = GXGetLongOperationImp()) {
        p->End(*this);
    } else {
        CGXLongOperationState& s = GXGetLongOperationState();
        if (s.m_nLevel > 0)
            --s.m_nLevel;
    }
}

void CGXLongOperation::FreeStatusText()
{
    if (CGXAbstractLongOperationImp* p = GXGetLongOperationImp())
        p->FreeStatusText(*this);
}

void CGXLongOperation::SetStatusText(LPCTSTR lpszText, BOOL bCopy)
{
    if (CGXAbstractLongOperationImp* p = GXGetLongOperationImp())
        p->SetStatusText(*this, lpszText, bCopy);
}

BOOL CGXLongOperation::DoMessages(BOOL& bCancelled)
{
    bCancelled = FALSE;
    CGXAbstractLongOperationImp* p = GXGetLongOperationImp();
    return p != nullptr ? p->DoMessages(*this, bCancelled) : FALSE;
}

BOOL CGXLongOperation::DoMessagesNow(BOOL& bCancelled)
{
    bCancelled = FALSE;
    CGXAbstractLongOperationImp* p = GXGetLongOperationImp();
    return p != nullptr ? p->DoMessagesNow(*this, bCancelled) : FALSE;
}

BOOL CGXLongOperation::DoMessages()
{
    CGXAbstractLongOperationImp* p = GXGetLongOperationImp();
    return p != nullptr ? p->DoMessages(*this) : FALSE;
}

void CGXLongOperation::PumpMessages()
{
    if (CGXAbstractLongOperationImp* p = GXGetLongOperationImp())
        p->PumpMessages(*this);
}

void CGXLongOperation::SetPercentDone(int nPercent)
{
    CGXLongOperationState& s = GXGetLongOperationState();
    if (s.IsLevelShown(s.m_nLevel))
        s.m_nPercentDone = std::min(nPercent, 100);
}
