// SECMsgFilter: a tree of small filter objects a frame hands selected window messages to, so
// that caption features plug in without subclassing the frame. A filter may act, claim the
// message (the window skips its default processing) and stop it from reaching later filters.
// A table of descriptors says which filters exist, where they hang and whether they are on.
#pragma once

#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/win/UserApi.h"

class CWnd;

// Result bits of FilterMessage.
#define SEC_FILTER_HANDLED 0x1   // the window does not run its default processing
#define SEC_FILTER_ACTED 0x6     // set with HANDLED by filters that performed an action
#define SEC_FILTER_STOP 0x8      // no later filter sees the message

#define SEC_FILTER_NOID static_cast<UINT>(-1)

class SECMsgFilter : public CObject {
    DECLARE_DYNCREATE(SECMsgFilter)
public:
    struct Descriptor {
        Descriptor() = default;
        Descriptor(UINT nID, UINT nParentID, CRuntimeClass* pClass, DWORD dwFlags)
            : m_nID(nID), m_nParentID(nParentID), m_pRuntimeClass(pClass), m_dwFlags(dwFlags) {}
        virtual ~Descriptor() = default;
        virtual Descriptor* Clone() const { return new Descriptor(*this); }

        UINT m_nID = SEC_FILTER_NOID;
        UINT m_nParentID = SEC_FILTER_NOID;   // the root when none
        CRuntimeClass* m_pRuntimeClass = nullptr;
        DWORD m_dwFlags = 0;                  // bit 0: "off" leaves the filter on
    };
    static constexpr DWORD kKeepEnabled = 0x1;

    // Owns its descriptors.
    class DescriptorTable : public CArray<Descriptor*, Descriptor*> {
    public:
        DescriptorTable() = default;
        ~DescriptorTable() override;
        DescriptorTable(const DescriptorTable&) = delete;
        DescriptorTable& operator=(const DescriptorTable&) = delete;
        void AddDescriptor(UINT nID, UINT nParentID, CRuntimeClass* pClass, DWORD dwFlags = 0)
        {
            Add(new Descriptor(nID, nParentID, pClass, dwFlags));
        }
    };

    explicit SECMsgFilter(CWnd* pWnd = nullptr, UINT nID = SEC_FILTER_NOID);
    SECMsgFilter(const SECMsgFilter& other);
    SECMsgFilter& operator=(const SECMsgFilter&) = delete;
    ~SECMsgFilter() override;

    virtual SECMsgFilter* Clone() const { return new SECMsgFilter(*this); }
    virtual CWnd* GetWnd() const { return m_pWnd; }
    virtual void SetWnd(CWnd* pWnd, BOOL bRecursive);
    // 0 while disabled; else the filter's own handling.
    virtual LRESULT FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT FilterChildren(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A direct child with the key; with nDepth other than 0 also deeper (-1: the whole subtree).
    // With pCreate and nothing found, a new child of that class.
    virtual SECMsgFilter* FindFilter(UINT nID, CRuntimeClass* pCreate = nullptr, int nDepth = 0);
    virtual void ApplyDescriptor(const Descriptor& d, BOOL bEnable);
    virtual void ApplyDescriptorTable(const DescriptorTable& table, const BOOL* pEnable);
    virtual void EnableDescriptorTable(const DescriptorTable& table, BOOL bEnable);

    // The children, in the order they see messages.
    INT_PTR GetChildCount() const { return m_children.GetSize(); }
    SECMsgFilter* GetChild(INT_PTR i) const { return m_children[i]; }
    void AddChild(SECMsgFilter* pChild) { m_children.Add(pChild); }

    UINT m_nID;
    BOOL m_bEnabled = TRUE;
    BOOL m_bAutoDelete = TRUE;

protected:
    CArray<SECMsgFilter*, SECMsgFilter*> m_children;
    CWnd* m_pWnd;
};

// The common base of the non-client filters.
class SECNcMsgFilter : public SECMsgFilter {
    DECLARE_DYNCREATE(SECNcMsgFilter)
public:
    explicit SECNcMsgFilter(CWnd* pWnd = nullptr, UINT nID = SEC_FILTER_NOID) : SECMsgFilter(pWnd, nID) {}
    SECMsgFilter* Clone() const override { return new SECNcMsgFilter(*this); }
};

// A window that owns a filter tree and lets others look into it (a frame asks its maximized
// child whether a caption feature is on there).
class ISECMsgFilterHost {
public:
    virtual ~ISECMsgFilterHost() = default;
    virtual SECMsgFilter* GetFilterRoot() const = 0;
};
