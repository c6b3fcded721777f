// Long grid operations: CGXLongOperation brackets a long piece of work on the caller's stack;
// the one installed implementation (CGXAbstractLongOperationImp or a class derived from it)
// keeps the program-wide state, decides when to refresh the status text with its percentage
// or spinner, and asks whether to abort. Showing, pumping and asking are hooks: the window
// side of the grid supplies them, so the state and the text rules need no window.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CGXLongOperation;

inline constexpr int GX_LONGOP_MAXLEVELS = 64;     // levels whose texts are kept
inline constexpr size_t GX_LONGOP_STATUSSIZE = 128; // the status-bar buffer, terminator included

// The program-wide record of the running long operations (user-interface thread only).
struct CGXLongOperationState {
    DWORD m_nFirstWait = 750;       // ms before anything is shown
    DWORD m_nUpdateInterval = 1500; // ms between refreshes of an unchanged text (the spinner's pace)
    // Once busy, ms between two looks at the queue: ESC is answered, paint and timers run, and
    // a changed percentage is shown this often. Looked at only once per update interval, a
    // short part of an operation could run to its end with the key unseen.
    DWORD m_nPollInterval = 100;
    BOOL m_bAskAbort = TRUE;
    CString m_sDefaultText = "Processing...";
    CString m_sDoneText = "Done.";
    // What the outermost operation ends with in place of m_sDoneText when the user stopped it,
    // and when, stopped, it took back what it had changed.
    CString m_sStoppedText = "Stopped.";
    CString m_sTakenBackText = "Stopped: the change was taken back.";
    CString m_sCancelHint = "Press ESC to cancel";
    CString m_sQuestion = "Do you want to abort the operation?";
    int m_nPercentDone = -1;  // -1: the operation gives no percentage
    int m_nLevel = 0;         // nesting level, 0 when idle; counts on past the kept levels
    int m_nMaxShownLevel = -1; // texts of levels deeper than this + 1 are neither kept nor shown
    BOOL m_bBusy = FALSE;      // the wait cursor is shown
    BOOL m_bEscPressed = FALSE;
    BOOL m_bCancelled = FALSE;
    BOOL m_bRollback = FALSE;
    BOOL m_bCanCancel = TRUE;
    int m_nQuestionMode = 0; // 0 Yes/No, 1 Abort/Retry/Ignore
    // How many times the user agreed to stop an operation. Never reset: whoever runs work that
    // a stop may leave part-done compares the count before and after it.
    DWORD m_nStops = 0;
    DWORD m_nStopsAtBegin = 0; // m_nStops when the outermost operation began
    BOOL m_bTakenBack = FALSE; // the running operation took back what a stop left half done
    // While cancelling is not allowed, why the work goes on, told to the user who presses ESC;
    // empty: the key is swallowed, or left to the operation around.
    CString m_sWhyNoCancel;
    // The text of each kept level (index level - 1) and the copy a level owns.
    LPCTSTR m_apszText[GX_LONGOP_MAXLEVELS] = {};
    CString m_asOwnedText[GX_LONGOP_MAXLEVELS];
    BOOL m_abOwnsText[GX_LONGOP_MAXLEVELS] = {};
    char m_szStatus[GX_LONGOP_STATUSSIZE] = {}; // the text last sent to the status window
    int m_nSpinner = 0;      // the sign the next refresh shows
    DWORD m_dwLastPoll = 0;  // when the queue was last looked at
    DWORD m_dwLastShown = 0; // when the status text was last sent
    DWORD m_dwLastEscLook = 0; // before the first wait, when the queue was last looked at for ESC

    BOOL IsLevelShown(int nLevel) const { return m_nMaxShownLevel < 0 || nLevel <= m_nMaxShownLevel + 1; }
    // The text of a level; levels past the kept ones show the deepest kept text.
    LPCTSTR GetText(int nLevel) const;
};

// Answers of the abort question.
enum GXAbortAnswer : int { gxAnswerContinue = 0, gxAnswerCancel = 1, gxAnswerCancelRollback = 2 };

class CGXAbstractLongOperationImp : public CObject {
    DECLARE_DYNAMIC(CGXAbstractLongOperationImp)
public:
    CGXAbstractLongOperationImp() = default;
    ~CGXAbstractLongOperationImp() override = default;

    virtual void Begin(CGXLongOperation& op);
    virtual void End(CGXLongOperation& op);
    virtual void FreeStatusText(CGXLongOperation& op);
    virtual void SetStatusText(CGXLongOperation& op, LPCTSTR lpszText, BOOL bCopy);
    // Looks at the queue when the time has come (TRUE then): shows the status text when it
    // changed or the update interval is over, and pumps; bCancelled tells whether the user
    // cancelled.
    virtual BOOL DoMessages(CGXLongOperation& op, BOOL& bCancelled);
    virtual BOOL DoMessages(CGXLongOperation& op);
    // Once busy, looks at once, however short the time since the last look: the last chance to
    // stop before work that cannot be given back is kept. Answers and sets bCancelled as above.
    virtual BOOL DoMessagesNow(CGXLongOperation& op, BOOL& bCancelled);
    // Shows the wait cursor at the first call; the window side dispatches what may run now.
    virtual void PumpMessages(CGXLongOperation& op);

    // Builds the status-bar text into a buffer of nSize characters (terminator included): the
    // text, then " %3d%%. " when nPercent >= 0, then three blanks and the hint when given, then
    // the spinner sign nSpinner (0..3) when nSpinner >= 0. A text too long for the buffer is
    // cut (at a character boundary) so that the suffixes still show. The length written.
    static size_t FormatStatus(char* pszOut, size_t nSize, LPCTSTR lpszText, int nPercent, LPCTSTR lpszHint,
                               int nSpinner);

protected:
    // Hooks of the window side; the defaults show nothing and never cancel.
    virtual DWORD GetTicks();
    virtual void ShowStatusText(LPCTSTR lpszText, BOOL bEnd);
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
    // Asks the abort question in the state's question mode.
    virtual GXAbortAnswer AskAbort(int nMode);
    // Whether an ESC the user pressed waits to be read; only looked at, never taken.
    virtual BOOL IsEscWaiting() { return FALSE; }
    // Tells the user who pressed ESC why the work goes on.
    virtual void TellWhyNoStop(LPCTSTR /*lpszWhy*/) {}

private:
    enum class Look { WhenDue, Now };
    BOOL IsLookDue(const CGXLongOperation& op, DWORD now, BOOL bWithCancel, Look look);
    BOOL IsEscPressedEarly(DWORD now);
    BOOL Refresh(CGXLongOperation& op, BOOL bWithCancel, BOOL* pbCancelled, Look look = Look::WhenDue);
    void ShowProgress(DWORD now, BOOL bHint);
};

// The installed implementation; null: long operations only count their nesting.
CGXAbstractLongOperationImp* GXGetLongOperationImp();
// Installs an implementation (the caller keeps it; null removes). Returns the previous one.
CGXAbstractLongOperationImp* GXSetLongOperationImp(CGXAbstractLongOperationImp* pImp);
CGXLongOperationState& GXGetLongOperationState();

class CGXLongOperation {
public:
    CGXLongOperation();
    ~CGXLongOperation();
    CGXLongOperation(const CGXLongOperation&) = delete;
    CGXLongOperation& operator=(const CGXLongOperation&) = delete;

    void FreeStatusText();
    void SetStatusText(LPCTSTR lpszText, BOOL bCopy = TRUE);
    BOOL DoMessages(BOOL& bCancelled);
    BOOL DoMessages();
    BOOL DoMessagesNow(BOOL& bCancelled);
    void PumpMessages();

    // Progress of the current level: values above 100 are stored as 100; ignored while the
    // current level is not shown.
    static void SetPercentDone(int nPercent);
    static int GetPercentDone() { return GXGetLongOperationState().m_nPercentDone; }
    static void SetCanCancel(BOOL b) { GXGetLongOperationState().m_bCanCancel = b; }
    static void SetQuestionMode(int nMode) { GXGetLongOperationState().m_nQuestionMode = nMode; }
    static void SetMaxShownLevel(int nLevel) { GXGetLongOperationState().m_nMaxShownLevel = nLevel; }
    static BOOL GetRollbackState() { return GXGetLongOperationState().m_bRollback; }
    static int GetLevel() { return GXGetLongOperationState().m_nLevel; }
    static DWORD GetStopCount() { return GXGetLongOperationState().m_nStops; }
    // What a stop left half done was given back: the outermost operation ends saying so.
    static void NoteTakenBack() { GXGetLongOperationState().m_bTakenBack = TRUE; }

    DWORD m_dwStart = 0;
    DWORD m_dwLast = 0;
    BOOL m_bRestoreEndText = TRUE;
    BOOL m_bShowText = TRUE;
};

// Esc goes unheard for as long as it lives, and is heard again as before when it goes: work that
// takes back what a stop left half done, or that cannot be given back, is not stopped itself.
// Given why, it tells that to the user who presses Esc meanwhile.
class CGXCancelLock {
public:
    CGXCancelLock() { CGXLongOperation::SetCanCancel(FALSE); }
    explicit CGXCancelLock(LPCTSTR pszWhy) : CGXCancelLock() { GXGetLongOperationState().m_sWhyNoCancel = pszWhy; }
    ~CGXCancelLock()
    {
        CGXLongOperation::SetCanCancel(m_bOld);
        GXGetLongOperationState().m_sWhyNoCancel = m_sOldWhy;
    }
    CGXCancelLock(const CGXCancelLock&) = delete;
    CGXCancelLock& operator=(const CGXCancelLock&) = delete;

private:
    BOOL m_bOld = GXGetLongOperationState().m_bCanCancel;
    CString m_sOldWhy = GXGetLongOperationState().m_sWhyNoCancel;
};

// While it lives, the running operation's own text and percentage are what the status bar shows:
// the operations it runs inside it keep quiet, unless an operation around it keeps quiet itself.
// The levels shown before are shown again when it goes.
class CGXInnerLevelsQuiet {
public:
    CGXInnerLevelsQuiet()
    {
        if (GXGetLongOperationState().IsLevelShown(CGXLongOperation::GetLevel()))
            CGXLongOperation::SetMaxShownLevel(CGXLongOperation::GetLevel() - 1);
    }
    ~CGXInnerLevelsQuiet() { CGXLongOperation::SetMaxShownLevel(m_nOld); }
    CGXInnerLevelsQuiet(const CGXInnerLevelsQuiet&) = delete;
    CGXInnerLevelsQuiet& operator=(const CGXInnerLevelsQuiet&) = delete;

private:
    int m_nOld = GXGetLongOperationState().m_nMaxShownLevel;
};

