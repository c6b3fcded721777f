// CPrintingDialog: the small window a print job shows while it runs: the document's name, the
// printer and its file, the page being printed, and Cancel (or Esc) to stop the job. Between
// pages the job hands the thread's messages out through it, so that the program's windows keep
// painting while their keys and mouse belong to this window alone.
#pragma once

#include "platform/afx/dlg/CDialog.h"

#include <chrono>

class CPrintingDialog : public CDialog {
    DECLARE_DYNAMIC(CPrintingDialog)
public:
    CPrintingDialog() = default;
    ~CPrintingDialog() override;
    CPrintingDialog(const CPrintingDialog&) = delete;
    CPrintingDialog& operator=(const CPrintingDialog&) = delete;

    // Shows the window over the owner's frame, naming the job, and disables the main window
    // until the window goes; FALSE when it could not be made (the job then runs without it).
    BOOL Open(CWnd* pOwner, LPCTSTR lpszDocument, LPCTSTR lpszPrinter, LPCTSTR lpszFile);
    // Before each page: shows "Page N of M" ("Page N" while the count is unknown: 0 or the
    // largest page number) and hands out the messages, a few dozen times a second however
    // short the pages. FALSE once the job is to stop.
    BOOL NextPage(UINT nPage, UINT nPages);
    // Hands out the messages waiting: each window gets its paints and timers, this window its
    // keys and mouse as a dialog takes them; the other windows' input is dropped. FALSE once
    // the user cancelled, or the program was asked to end (the quit is left for the loop
    // around the job).
    BOOL PumpMessages();
    BOOL IsCancelled() const { return m_bCancelled; }
    // Gives the main window back its input and the activation, and closes the window.
    void Close();

    void OnCancel() override;

private:
    void SetPage(UINT nPage, UINT nPages);

    BOOL m_bCancelled = FALSE;
    std::chrono::steady_clock::time_point m_lastTurn;
    HWND m_hWndDisabled = nullptr;
};
