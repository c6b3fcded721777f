// CGdiObject: a drawing object handle (pen, brush, font, bitmap, region) as an object that
// owns it; FromHandle gives a temporary object for a handle no object owns.
#pragma once

#include "platform/core/CObject.h"
#include "platform/win/Gdi.h"

class CGdiObject : public CObject {
    DECLARE_DYNCREATE(CGdiObject)
public:
    CGdiObject() = default;
    ~CGdiObject() override;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    static CGdiObject* PASCAL FromHandle(HGDIOBJ hObject);
    static void PASCAL DeleteTempMap();

    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }
    int GetObject(int nCount, LPVOID lpObject) const;
    UINT GetObjectType() const;
    BOOL CreateStockObject(int nIndex);
    BOOL UnrealizeObject();
    bool operator==(const CGdiObject& obj) const { return m_hObject == obj.m_hObject; }

    HGDIOBJ m_hObject = nullptr;

protected:
    // Temporary objects are made of the class their handle's type calls for.
    static CGdiObject* NewForType(DWORD type);
};
