#include "platform/core/SyncObjects.h"

#include "platform/core/KernelObject.h"

IMPLEMENT_DYNAMIC(CSyncObject, CObject)
IMPLEMENT_DYNAMIC(CEvent, CSyncObject)
IMPLEMENT_DYNAMIC(CCriticalSection, CSyncObject)
IMPLEMENT_DYNAMIC(CMutex, CSyncObject)
IMPLEMENT_DYNAMIC(CSemaphore, CSyncObject)

// ---- CSyncObject ------------------------------------------------------------------------------

CSyncObject::CSyncObject(LPCTSTR) : m_hObject(nullptr) {}

CSyncObject::~CSyncObject()
{
    if (m_hObject)
        ::CloseHandle(m_hObject);
}

BOOL CSyncObject::Lock(DWORD dwTimeout)
{
    DWORD result = ::WaitForSingleObject(m_hObject, dwTimeout);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

BOOL CSyncObject::Unlock(LONG, LPLONG)
{
    return TRUE;
}

// ---- CEvent -----------------------------------------------------------------------------------

CEvent::CEvent(BOOL bInitiallyOwn, BOOL bManualReset, LPCTSTR lpszName, void* lpsaAttribute)
    : CSyncObject(lpszName)
{
    m_hObject = ::CreateEvent(lpsaAttribute, bManualReset, bInitiallyOwn, lpszName);
}

BOOL CEvent::SetEvent()
{
    return ::SetEvent(m_hObject);
}

BOOL CEvent::ResetEvent()
{
    return ::ResetEvent(m_hObject);
}

BOOL CEvent::PulseEvent()
{
    return ::PulseEvent(m_hObject);
}

BOOL CEvent::Unlock()
{
    return TRUE;
}

// ---- CCriticalSection -------------------------------------------------------------------------

CCriticalSection::CCriticalSection() : CSyncObject(nullptr)
{
    ::InitializeCriticalSection(&m_sect);
}

BOOL CCriticalSection::Lock()
{
    ::EnterCriticalSection(&m_sect);
    return TRUE;
}

BOOL CCriticalSection::Lock(DWORD dwTimeout)
{
    return kernel::EnterCriticalSectionTimed(&m_sect, dwTimeout);
}

BOOL CCriticalSection::Unlock()
{
    ::LeaveCriticalSection(&m_sect);
    return TRUE;
}

// ---- CMutex -----------------------------------------------------------------------------------

CMutex::CMutex(BOOL bInitiallyOwn, LPCTSTR lpszName, void* lpsaAttribute) : CSyncObject(lpszName)
{
    m_hObject = ::CreateMutex(lpsaAttribute, bInitiallyOwn, lpszName);
}

BOOL CMutex::Unlock()
{
    return ::ReleaseMutex(m_hObject);
}

// ---- CSemaphore -------------------------------------------------------------------------------

CSemaphore::CSemaphore(LONG lInitialCount, LONG lMaxCount, LPCTSTR pstrName, void* lpsaAttributes)
    : CSyncObject(pstrName)
{
    m_hObject = ::CreateSemaphore(lpsaAttributes, lInitialCount, lMaxCount, pstrName);
}

BOOL CSemaphore::Unlock()
{
    return Unlock(1, nullptr);
}

BOOL CSemaphore::Unlock(LONG lCount, LPLONG lprevCount)
{
    return ::ReleaseSemaphore(m_hObject, lCount, lprevCount);
}

// ---- CSingleLock ------------------------------------------------------------------------------

CSingleLock::CSingleLock(CSyncObject* pObject, BOOL bInitialLock)
    : m_pObject(pObject), m_hObject(pObject ? pObject->m_hObject : nullptr), m_bAcquired(FALSE)
{
    if (bInitialLock)
        Lock();
}

CSingleLock::~CSingleLock()
{
    Unlock();
}

BOOL CSingleLock::Lock(DWORD dwTimeOut)
{
    if (!m_pObject)
        return FALSE;
    // A second lock would need a second unlock that this class could not track.
    if (m_bAcquired)
        return TRUE;
    m_bAcquired = m_pObject->Lock(dwTimeOut);
    return m_bAcquired;
}

BOOL CSingleLock::Unlock()
{
    if (m_pObject && m_bAcquired)
        m_bAcquired = !m_pObject->Unlock();
    return !m_bAcquired;
}

BOOL CSingleLock::Unlock(LONG lCount, LPLONG lPrevCount)
{
    if (m_pObject && m_bAcquired)
        m_bAcquired = !m_pObject->Unlock(lCount, lPrevCount);
    return !m_bAcquired;
}

// ---- CMultiLock -------------------------------------------------------------------------------

CMultiLock::CMultiLock(CSyncObject* ppObjects[], DWORD dwCount, BOOL bInitialLock)
    : m_dwCount(ppObjects ? dwCount : 0)
{
    m_ppObjectArray.assign(ppObjects, ppObjects + m_dwCount);
    for (CSyncObject* object : m_ppObjectArray)
        m_pHandleArray.push_back(object ? object->m_hObject : nullptr);
    m_bLockedArray.assign(m_dwCount, FALSE);
    if (bInitialLock)
        Lock();
}

CMultiLock::~CMultiLock()
{
    Unlock();
}

DWORD CMultiLock::Lock(DWORD dwTimeOut, BOOL bWaitForAll, DWORD dwWakeMask)
{
    if (dwWakeMask != 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return WAIT_FAILED;
    }
    DWORD result = ::WaitForMultipleObjects(m_dwCount, m_pHandleArray.data(), bWaitForAll, dwTimeOut);
    DWORD index = 0;
    if (result < WAIT_OBJECT_0 + m_dwCount)
        index = result - WAIT_OBJECT_0;
    else if (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + m_dwCount)
        index = result - WAIT_ABANDONED_0;
    else
        return result;
    if (bWaitForAll)
        m_bLockedArray.assign(m_dwCount, TRUE);
    else
        m_bLockedArray[index] = TRUE;
    return result;
}

BOOL CMultiLock::Unlock()
{
    for (DWORD i = 0; i < m_dwCount; ++i) {
        if (m_bLockedArray[i] && m_ppObjectArray[i])
            m_bLockedArray[i] = !m_ppObjectArray[i]->Unlock();
    }
    return TRUE;
}

BOOL CMultiLock::Unlock(LONG lCount, LPLONG lPrevCount)
{
    BOOL all = TRUE;
    for (DWORD i = 0; i < m_dwCount; ++i) {
        if (!m_bLockedArray[i] || !dynamic_cast<CSemaphore*>(m_ppObjectArray[i]))
            continue;
        m_bLockedArray[i] = !m_ppObjectArray[i]->Unlock(lCount, lPrevCount);
        if (m_bLockedArray[i])
            all = FALSE;
    }
    return all;
}

BOOL CMultiLock::IsLocked(DWORD dwItem) const
{
    return dwItem < m_dwCount && m_bLockedArray[dwItem];
}
