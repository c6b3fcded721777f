// Guards that the grid's features use around cancellable work: whatever way the work ends (a
// normal return, a refusal, or the user exception of a cancelled long operation), the flags they
// set are restored and the transaction they opened is committed or rolled back.
#pragma once

#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXData.h"

// Restores a flag to the value it had when the guard was made.
class CGXFlagRestore {
public:
    CGXFlagRestore(BOOL& flag, BOOL bValue) : m_flag(flag), m_bOld(flag) { m_flag = bValue; }
    ~CGXFlagRestore() { m_flag = m_bOld; }
    CGXFlagRestore(const CGXFlagRestore&) = delete;
    CGXFlagRestore& operator=(const CGXFlagRestore&) = delete;
    BOOL Old() const { return m_bOld; }

private:
    BOOL& m_flag;
    BOOL m_bOld;
};

// An undo transaction: rolled back unless committed before the guard goes.
class CGXTransactionScope {
public:
    CGXTransactionScope(CGXGridCore& grid, LPCTSTR pszDescription) : m_grid(grid) { m_grid.BeginTransaction(pszDescription); }
    ~CGXTransactionScope()
    {
        if (!m_bDone)
            m_grid.RollbackTransaction();
    }
    CGXTransactionScope(const CGXTransactionScope&) = delete;
    CGXTransactionScope& operator=(const CGXTransactionScope&) = delete;

    void Commit()
    {
        if (!m_bDone)
            m_grid.CommitTransaction();
        m_bDone = true;
    }
    void Rollback()
    {
        if (!m_bDone)
            m_grid.RollbackTransaction();
        m_bDone = true;
    }

private:
    CGXGridCore& m_grid;
    bool m_bDone = false;
};

// A block of cells about to change: announced to the data unless an outer block already is, and
// the grid's data-notification lock held until the guard goes.
class CGXDataChangeScope {
public:
    CGXDataChangeScope(CGXGridCore& grid, const CGXRange& block) : m_grid(grid), m_bOld(grid.LockDataNotify(TRUE))
    {
        if (!m_bOld && m_grid.GetData() != nullptr)
            m_grid.GetData()->BeginChange(block);
    }
    ~CGXDataChangeScope()
    {
        if (!m_bOld && m_grid.GetData() != nullptr)
            m_grid.GetData()->EndChange(TRUE);
        m_grid.LockDataNotify(m_bOld);
    }
    CGXDataChangeScope(const CGXDataChangeScope&) = delete;
    CGXDataChangeScope& operator=(const CGXDataChangeScope&) = delete;

private:
    CGXGridCore& m_grid;
    BOOL m_bOld;
};
