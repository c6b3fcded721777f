// Runtime classes, the class registry and the diagnostic helpers.
#include "platform/core/CObject.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace {

// Built on first use, so registrations made from any translation unit's static initialisers
// find it ready whatever order those initialisers run in.
struct ClassRegistry {
    std::mutex mutex;
    std::vector<CRuntimeClass*> classes;
};

ClassRegistry& Registry()
{
    static ClassRegistry registry;
    return registry;
}

} // namespace

CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr,
                                       nullptr};
static const AFX_CLASSINIT _init_CObject(&CObject::classCObject);

void AfxRegisterClass(CRuntimeClass* pNewClass)
{
    if (pNewClass == nullptr)
        return;
    ClassRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    for (CRuntimeClass* pClass : registry.classes) {
        if (pClass == pNewClass)
            return;
    }
    registry.classes.push_back(pNewClass);
}

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass)
{
    AfxRegisterClass(pNewClass);
}

CObject* CRuntimeClass::CreateObject()
{
    if (m_pfnCreateObject == nullptr) {
        TRACE("Cannot create an object of class %s: it has no dynamic creation.\n", m_lpszClassName);
        return nullptr;
    }
    try {
        return m_pfnCreateObject();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    if (pBaseClass == nullptr)
        return FALSE;
    for (const CRuntimeClass* pClass = this; pClass != nullptr; pClass = pClass->m_pBaseClass) {
        if (pClass == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (lpszClassName == nullptr)
        return nullptr;
    ClassRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    for (CRuntimeClass* pClass : registry.classes) {
        if (std::strcmp(pClass->m_lpszClassName, lpszClassName) == 0)
            return pClass;
    }
    return nullptr;
}

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &CObject::classCObject;
}

BOOL CObject::IsSerializable() const
{
    return GetRuntimeClass()->m_wSchema != 0xFFFF;
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

void CObject::Serialize(CArchive&)
{
}

void CObject::AssertValid() const
{
}

void CObject::Dump(CDumpContext&) const
{
}

CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject)
{
    if (pObject != nullptr && pObject->IsKindOf(pClass))
        return pObject;
    return nullptr;
}

CObject* AfxStaticDownCast([[maybe_unused]] CRuntimeClass* pClass, CObject* pObject)
{
    ASSERT(pObject == nullptr || pObject->IsKindOf(pClass));
    return pObject;
}

void AfxAssertFailedLine(LPCSTR lpszFileName, int nLine)
{
    std::fprintf(stderr, "Assertion failed: %s, line %d\n", lpszFileName ? lpszFileName : "?", nLine);
    std::fflush(stderr);
    std::abort();
}

void AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine)
{
    if (pOb == nullptr) {
        AfxAssertFailedLine(lpszFileName, nLine);
        return;
    }
    pOb->AssertValid();
}

bool AfxTraceEnabled()
{
    // Read once: tracing is chosen at start-up, and getenv is not safe against setenv later.
    static const bool enabled = std::getenv("VOSTREL_TRACE") != nullptr;
    return enabled;
}

void AfxTrace(LPCSTR lpszFormat, ...)
{
    if (!AfxTraceEnabled() || lpszFormat == nullptr)
        return;
    va_list args;
    va_start(args, lpszFormat);
    std::vfprintf(stderr, lpszFormat, args);
    va_end(args);
}
