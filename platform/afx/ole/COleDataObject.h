// COleDataObject: the receiving side's view of dragged data: which formats it offers and copies
// of their contents.
#pragma once

#include "platform/core/GlobalMemory.h"
#include "platform/win/Ole.h"

class CFile;
class COleDataSource;
struct FORMATETC;

// The data of a drag in progress; in-process, it is the source itself.
typedef COleDataSource* LPDATAOBJECT;

class COleDataObject {
public:
    COleDataObject() = default;
    ~COleDataObject();
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    // With bAutoRelease the object takes over one reference on the data and drops it when
    // released or destroyed.
    void Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease = TRUE);
    LPDATAOBJECT Detach();
    void Release();

    BOOL IsDataAvailable(CLIPFORMAT cfFormat, FORMATETC* lpFormatEtc = nullptr) const;
    // A copy of the data in a new block that the caller frees; null when the format is absent.
    HGLOBAL GetGlobalData(CLIPFORMAT cfFormat, FORMATETC* lpFormatEtc = nullptr) const;
    // A memory file over a copy of the data, which the caller deletes; null when absent.
    CFile* GetFileData(CLIPFORMAT cfFormat, FORMATETC* lpFormatEtc = nullptr) const;

private:
    LPDATAOBJECT m_lpDataObject = nullptr;
    BOOL m_bAutoRelease = FALSE;
};
