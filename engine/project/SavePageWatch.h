// The save's watch over the rewrite of one page. A page of common size is done soon, and a stop
// comes after it, as after any page; a large page stops where it is when the user stops the save,
// and tells the save dialog at once that it is on its way, and then how far it came.
#pragma once

#include "engine/meta/IRewriteWatch.h"
#include "platform/core/Types.h"

#include <atomic>
#include <cstddef>

class CPageNode;

class SavePageWatch : public IRewriteWatch {
public:
    // bStop: the save's stop flag, which the user interface raises; hDialog: the save dialog, or
    // null.
    SavePageWatch(const std::atomic<UINT>& bStop, HWND hDialog) : m_bStop(bStop), m_hDialog(hDialog) {}

    // The page whose rewrite is watched from now on, the nIndex-th of the save from 0; its size
    // is not known yet.
    void Watch(CPageNode* pPage, size_t nIndex);
    // The size of the page's file.
    void SetPageSize(ULONGLONG nSize) { m_nSize = nSize; }

    // Whether the save was stopped and the page is large.
    bool IsStopRequested() override { return m_nSize >= kLargePage && m_bStop.load() != 0; }
    // A large page is told at its first progress, and then at most every kIntervalMs.
    void OnProgress(ULONGLONG nDone, ULONGLONG nTotal) override;

    static constexpr ULONGLONG kLargePage = 1 << 20;
    static constexpr DWORD kIntervalMs = 100;

private:
    const std::atomic<UINT>& m_bStop;
    HWND m_hDialog;
    CPageNode* m_pPage = nullptr;
    size_t m_nIndex = 0;
    ULONGLONG m_nSize = 0;
    bool m_bTold = false; // the page's progress was posted already
    DWORD m_dwLast = 0;   // when it was posted last
};
