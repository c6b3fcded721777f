// The root of the class hierarchy: runtime-class information, dynamic creation by name,
// serialization schemas and the diagnostic macros every class uses.
#pragma once

#include "platform/core/Types.h"

#include <concepts>

class CObject;
class CArchive;
class CDumpContext;

// A class's runtime record. Records are constant-initialised aggregates, so they are valid before
// any constructor of any translation unit runs, whatever the static-initialisation order.
struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                      // 0xFFFF: not serializable
    CObject* (*m_pfnCreateObject)();     // null: no dynamic creation
    CRuntimeClass* m_pBaseClass;

    // A new object of this class, or null when the class has no dynamic creation or the
    // allocation failed.
    CObject* CreateObject();
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // Looks a class up by its name in the process-wide registry; null when unknown.
    // Callable from any thread.
    static CRuntimeClass* FromName(LPCSTR lpszClassName);

    // The class tag of an archive: WORD schema, WORD name length, the name without terminator.
    void Store(CArchive& ar) const;
    // Reads a tag written by Store and resolves the name; null for an unknown class.
    // A name longer than any real class name raises a CArchiveException (badClass).
    static CRuntimeClass* Load(CArchive& ar, UINT* pwSchemaNum);
};

// Adds a class to the registry that FromName searches. Instances are namespace-scope statics
// created by the IMPLEMENT_ macros; the registry itself is built on first use.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

// Adds a class to the registry explicitly (FromName finds classes registered either way).
// Callable from any thread.
void AfxRegisterClass(CRuntimeClass* pNewClass);

class CObject {
public:
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;

    BOOL IsSerializable() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    virtual void Serialize(CArchive& ar);
    // Diagnostics: the base checks nothing and dumps nothing.
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

    static CRuntimeClass classCObject;

protected:
    CObject() = default;
    // Copies are allowed to derived classes only, so that a CObject is never sliced by value.
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define _RUNTIME_CLASS(class_name) (&class_name::class##class_name)
#define RUNTIME_CLASS(class_name) _RUNTIME_CLASS(class_name)

// Bit set in a schema number to accept stored objects of any schema; Serialize then asks the
// archive's GetObjectSchema which one it is reading.
#define VERSIONABLE_SCHEMA (0x80000000u)

#define DECLARE_DYNAMIC(class_name) \
public: \
    static CRuntimeClass class##class_name; \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) \
    DECLARE_DYNCREATE(class_name) \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew) \
    CRuntimeClass class_name::class##class_name = { \
        #class_name, static_cast<int>(sizeof(class_name)), (wSchema), (pfnNew), \
        RUNTIME_CLASS(base_class_name)}; \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); } \
    static const AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() { return new class_name; } \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema) \
    CObject* class_name::CreateObject() { return new class_name; } \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject) \
    [[maybe_unused]] CArchive& operator>>(CArchive& ar, class_name*& pOb) { \
        pOb = static_cast<class_name*>(AfxReadObjectFromArchive(ar, RUNTIME_CLASS(class_name))); \
        return ar; \
    }

// Reads one object of the given class (or a class derived from it) from an archive; used by
// the extraction operator that IMPLEMENT_SERIAL defines, so that this header needs no CArchive.
CObject* AfxReadObjectFromArchive(CArchive& ar, const CRuntimeClass* pClassRefRequested);

// Casts checked against the runtime class. DYNAMIC_DOWNCAST gives null for an object of
// another class; STATIC_DOWNCAST asserts in checked builds.
CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject);
CObject* AfxStaticDownCast(CRuntimeClass* pClass, CObject* pObject);
#define DYNAMIC_DOWNCAST(class_name, object) \
    (static_cast<class_name*>(AfxDynamicDownCast(RUNTIME_CLASS(class_name), (object))))
#define STATIC_DOWNCAST(class_name, object) \
    (static_cast<class_name*>(AfxStaticDownCast(RUNTIME_CLASS(class_name), (object))))

// Diagnostics. A failed assertion in a checked build (NDEBUG not defined) reports the file and
// line on stderr and aborts; release builds drop the test but keep its operands "used".
void AfxAssertFailedLine(LPCSTR lpszFileName, int nLine);
void AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine);
// Formats to stderr when the environment variable VOSTREL_TRACE is set; otherwise does nothing.
// Callable from any thread.
void AfxTrace(LPCSTR lpszFormat, ...) __attribute__((format(printf, 1, 2)));
bool AfxTraceEnabled();

namespace vostrel::detail {
// A string object (anything with GetString) is traced as its characters, so "%s" works with it.
template <class T>
decltype(auto) TraceArg(const T& value)
{
    if constexpr (requires { { value.GetString() } -> std::convertible_to<const char*>; })
        return static_cast<const char*>(value.GetString());
    else
        return (value);
}
} // namespace vostrel::detail

// What TRACE expands to; callable from any thread.
template <class... Args>
void AfxTraceArgs(LPCSTR lpszFormat, const Args&... args)
{
    if (!AfxTraceEnabled())
        return;
    if constexpr (sizeof...(Args) == 0)
        AfxTrace("%s", lpszFormat); // a message without arguments is text, never a format
    else
        AfxTrace(lpszFormat, vostrel::detail::TraceArg(args)...);
}

#ifdef NDEBUG
#define ASSERT(f) ((void)sizeof(!(f)))
#define VERIFY(f) ((void)(f))
#define ASSERT_VALID(pOb) ((void)sizeof(pOb))
#else
#define ASSERT(f) ((f) ? (void)0 : AfxAssertFailedLine(__FILE__, __LINE__))
#define VERIFY(f) ASSERT(f)
#define ASSERT_VALID(pOb) (AfxAssertValidObject((pOb), __FILE__, __LINE__))
#endif
#define ASSERT_KINDOF(class_name, object) ASSERT((object)->IsKindOf(RUNTIME_CLASS(class_name)))

#define TRACE(...) AfxTraceArgs(__VA_ARGS__)
#define TRACE0(sz) AfxTraceArgs("%s", sz)
#define TRACE1(sz, p1) AfxTraceArgs(sz, p1)
#define TRACE2(sz, p1, p2) AfxTraceArgs(sz, p1, p2)
#define TRACE3(sz, p1, p2, p3) AfxTraceArgs(sz, p1, p2, p3)
