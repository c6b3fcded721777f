// A page's META contents: a list that owns its contents or, for working lists such as the
// modified contents collected for a save, only borrows them.
#pragma once

#include "engine/meta/CMetaContent.h"
#include "platform/core/CPtrList.h"
#include "platform/core/CTypedPtrArray.h"

class CMetaContentList : public CTypedPtrList<CObList, CMetaContent*> {
public:
    explicit CMetaContentList(BOOL bOwnsItems = TRUE);
    ~CMetaContentList() override;
    CMetaContentList(const CMetaContentList&) = delete;
    CMetaContentList& operator=(const CMetaContentList&) = delete;

    // Deletes every content, whatever the owns-items flag, and empties the list.
    void DeleteAll();
    // The first content whose name equals the given one without regard to case; 0 found, 1 not.
    UINT FindByName(const CString& strName, CMetaContent*& pContent) const;
    // Appends a new content with those values; its type id is that of the catalogue's setting
    // of that name (7, Undefined, when the catalogue has none); 0.
    UINT AddContent(const CString& strName, const CString& strText, UINT bModified, CMetaContent*& pContent);
    // 2 when any content is modified, 3 otherwise (also when empty).
    UINT GetState() const;
    void SetOwnsItems(BOOL bOwnsItems) { m_bOwnsItems = bOwnsItems; }
    BOOL GetOwnsItems() const { return m_bOwnsItems; }
    // Empties this list (deleting its contents only when it owns them) and appends a copy of
    // each content of the other list; the list then owns those copies.
    void CopyFrom(const CMetaContentList& other);
    // Sets every content's modified flag; 0.
    UINT SetModifiedAll(UINT bModified);

private:
    BOOL m_bOwnsItems;
};
