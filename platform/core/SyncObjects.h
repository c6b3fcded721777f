// The synchronisation classes: CSyncObject and its events, critical sections, mutexes and
// semaphores, and the CSingleLock and CMultiLock helpers that take and release them.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/SyncApi.h"
#include "platform/core/Types.h"

#include <vector>

// Every member that locks, unlocks or signals is callable from any thread; construction and
// destruction belong to the owner.
class CSyncObject : public CObject {
    DECLARE_DYNAMIC(CSyncObject)
public:
    // The name is accepted and ignored, as by the handle calls.
    explicit CSyncObject(LPCTSTR pstrName);
    ~CSyncObject() override;
    CSyncObject(const CSyncObject&) = delete;
    CSyncObject& operator=(const CSyncObject&) = delete;

    operator HANDLE() const { return m_hObject; }

    // TRUE when the wait succeeded (an abandoned mutex counts: the caller owns it now).
    virtual BOOL Lock(DWORD dwTimeout = INFINITE);
    virtual BOOL Unlock() = 0;
    virtual BOOL Unlock(LONG lCount, LPLONG lpPrevCount = nullptr);

    HANDLE m_hObject;
};

class CEvent : public CSyncObject {
    DECLARE_DYNAMIC(CEvent)
public:
    explicit CEvent(BOOL bInitiallyOwn = FALSE, BOOL bManualReset = FALSE, LPCTSTR lpszName = nullptr,
                    void* lpsaAttribute = nullptr);

    BOOL SetEvent();
    BOOL ResetEvent();
    BOOL PulseEvent();
    // An event has nothing to give back.
    BOOL Unlock() override;
    using CSyncObject::Unlock;
};

// Re-entrant: the owning thread may lock again and must unlock as often.
class CCriticalSection : public CSyncObject {
    DECLARE_DYNAMIC(CCriticalSection)
public:
    CCriticalSection();

    operator CRITICAL_SECTION*() { return &m_sect; }

    BOOL Lock();
    // A time-out other than INFINITE gives up after that many ms.
    BOOL Lock(DWORD dwTimeout) override;
    BOOL Unlock() override;
    using CSyncObject::Unlock;

    CRITICAL_SECTION m_sect;
};

class CMutex : public CSyncObject {
    DECLARE_DYNAMIC(CMutex)
public:
    explicit CMutex(BOOL bInitiallyOwn = FALSE, LPCTSTR lpszName = nullptr, void* lpsaAttribute = nullptr);

    BOOL Unlock() override;
    using CSyncObject::Unlock;
};

class CSemaphore : public CSyncObject {
    DECLARE_DYNAMIC(CSemaphore)
public:
    explicit CSemaphore(LONG lInitialCount = 1, LONG lMaxCount = 1, LPCTSTR pstrName = nullptr,
                        void* lpsaAttributes = nullptr);

    BOOL Unlock() override;
    BOOL Unlock(LONG lCount, LPLONG lprevCount = nullptr) override;
};

// Holds one synchronisation object for a scope: the destructor unlocks what Lock took.
// Used by one thread.
class CSingleLock {
public:
    explicit CSingleLock(CSyncObject* pObject, BOOL bInitialLock = FALSE);
    ~CSingleLock();
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    // Locking again while locked takes nothing more and answers TRUE.
    BOOL Lock(DWORD dwTimeOut = INFINITE);
    BOOL Unlock();
    BOOL Unlock(LONG lCount, LPLONG lPrevCount = nullptr);
    BOOL IsLocked() const { return m_bAcquired; }

protected:
    CSyncObject* m_pObject;
    HANDLE m_hObject;
    BOOL m_bAcquired;
};

// Waits for several objects at once (all of them, or any one). Critical sections have no handle
// and cannot take part: a lock that includes one fails with ERROR_INVALID_HANDLE. Used by one
// thread.
class CMultiLock {
public:
    CMultiLock(CSyncObject* ppObjects[], DWORD dwCount, BOOL bInitialLock = FALSE);
    ~CMultiLock();
    CMultiLock(const CMultiLock&) = delete;
    CMultiLock& operator=(const CMultiLock&) = delete;

    // The wait's result (WAIT_OBJECT_0 + i, WAIT_ABANDONED_0 + i, WAIT_TIMEOUT, WAIT_FAILED).
    // Waking on window messages (dwWakeMask) is not supported and fails with ERROR_NOT_SUPPORTED.
    DWORD Lock(DWORD dwTimeOut = INFINITE, BOOL bWaitForAll = TRUE, DWORD dwWakeMask = 0);
    // Unlocks every object this lock holds.
    BOOL Unlock();
    // Releases the semaphores this lock holds by lCount each.
    BOOL Unlock(LONG lCount, LPLONG lPrevCount = nullptr);
    BOOL IsLocked(DWORD dwItem) const;

protected:
    std::vector<CSyncObject*> m_ppObjectArray;
    std::vector<HANDLE> m_pHandleArray;
    std::vector<BOOL> m_bLockedArray;
    DWORD m_dwCount;
};
