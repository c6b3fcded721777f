// SECStdBtn: one button of a customisable toolbar: command, image, style word, place and size;
// it sizes itself from the button images, paints itself through the shared drawing context,
// follows the mouse and answers tooltip hit tests. SECTBTextButton adds a caption under the
// image when large buttons are on.
#pragma once

#include "platform/afx/gdi/GdiObjects.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/win/WinUser.h"

class CDC;
struct TOOLINFO;
class SECBtnDrawContext;
class SECCustomToolBar;
class SECStdBtn;

// Button style word: the low word is the button's style, the high word its state.
#define SEC_TBBS_SEPARATOR 0x00000001
#define SEC_TBBS_CHECKBOX 0x00000002
#define SEC_TBBS_GROUP 0x00000004
#define SEC_TBBS_DROPDOWN 0x00000008
#define SEC_TBBS_CHECKED 0x00010000
#define SEC_TBBS_PRESSED 0x00020000
#define SEC_TBBS_DISABLED 0x00040000
#define SEC_TBBS_HIDDEN 0x00080000
#define SEC_TBBS_INDETERMINATE 0x00100000
#define SEC_TBBS_WRAPPED 0x00200000
#define SEC_TBBS_SELECTED 0x01000000
#define SEC_TBBS_HOT 0x02000000
#define SEC_TBBS_NODISABLE 0x10000000
#define SEC_TBBS_VCENTER 0x20000000

#define TBN_DROPDOWN (-710)

// A button class as the button maps name it: its first word makes a new button of the class.
struct SECButtonClass {
    SECStdBtn* (*m_pfnCreateButton)();
};

// One entry of a button map; a map ends with an entry whose class is null. The class record is
// a pointer and keeps a pointer's width; the rest are 32-bit words.
struct SECBtnMapEntry {
    const SECButtonClass* m_pBtnClass;
    UINT m_nID;
    DWORD m_nStyle;
    UINT m_nParams[5]; // handed to the button's Init; a text button's first is its string id
};

class SECStdBtn {
public:
    enum Kind { kStandard = 0, kFocusable = 3, kFocusable2 = 4, kFarEnd = 5, kText = 7 };

    SECStdBtn();
    virtual ~SECStdBtn();
    SECStdBtn(const SECStdBtn&) = delete;
    SECStdBtn& operator=(const SECStdBtn&) = delete;

    virtual void SetMode(DWORD dwMode);
    virtual void SetStyle(DWORD dwStyle) { m_nStyle = dwStyle; }
    virtual DWORD GetStyle() const { return m_nStyle; }
    virtual BOOL HasStyle(DWORD dwMask) const { return (m_nStyle & dwMask) == dwMask; }
    virtual void SetPos(int x, int y);
    virtual void Invalidate(BOOL bErase = FALSE) const;
    virtual void Init(SECCustomToolBar* pToolBar, const UINT* pData);
    virtual BOOL CanDrag() const { return TRUE; }
    virtual void Paint(CDC& dc, SECBtnDrawContext& ctx);
    virtual BOOL BtnPressed(CPoint point);
    virtual void BtnMouseMove(CPoint point);
    virtual void BtnCancel();
    virtual UINT BtnReleased(CPoint point);
    virtual void BarStyleChanged(DWORD dwStyle);
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const;
    // Code 1 applies a check change: style = (style & ~clear) | set.
    virtual void InformBtn(UINT nCode, DWORD dwSet, DWORD dwClear);
    virtual void AdjustSize();
    // Extra bytes a button keeps in the saved state; none for these buttons.
    virtual void GetBtnInfo(BYTE& nLen, const BYTE*& pBytes) const;
    virtual void SetBtnInfo(BYTE nLen, const BYTE* pBytes);
    virtual LRESULT SendNotify(int nCode, LPARAM a = 0, LPARAM b = 0);
    virtual void DrawFrame(CDC& dc, SECBtnDrawContext& ctx, BOOL bForce, const CRect& rect, int nImageWidth = -1);
    virtual void DrawDisabled(CDC& dc, SECBtnDrawContext& ctx, const CRect& image);
    virtual void DrawChecked(CDC& dc, SECBtnDrawContext& ctx, const CRect& image);
    virtual void DrawIndeterminate(CDC& dc, SECBtnDrawContext& ctx, const CRect& image);
    virtual void DrawSelection(CDC& dc);
    virtual BOOL SelectImage(SECBtnDrawContext& ctx);
    virtual BOOL DrawSeparator(CDC& dc);
    virtual void DrawFace(SECBtnDrawContext& ctx);
    virtual void DrawImage(CDC& dc, SECBtnDrawContext& ctx, int x, int y);
    virtual void BlendBackground(CDC& dc, SECBtnDrawContext& ctx);
    virtual void DrawSelectionIfSelected(SECBtnDrawContext& ctx);
    virtual void BlitToDC(CDC& dc, SECBtnDrawContext& ctx);
    virtual const SECButtonClass* GetBtnClass() const;

    CRect GetRect() const { return CRect(m_x, m_y, m_x + m_cx, m_y + m_cy); }
    BOOL IsSeparator() const { return (m_nStyle & SEC_TBBS_SEPARATOR) != 0; }

    static const SECButtonClass classSECStdBtn;

    UINT m_nID = 0;
    int m_nImage = 0;
    DWORD m_nStyle = 0;
    int m_x = -1;
    int m_y = -1;
    int m_cx = 23;
    int m_cy = 22;
    int m_nType = kStandard;
    SECCustomToolBar* m_pToolBar = nullptr;

protected:
    // The rectangle of the image inside a button of the given width at the origin.
    CRect ImageRect(int nImageWidth) const;
    BOOL IsFlat() const;
    BOOL IsTransparent() const;
    BOOL InCustomize() const;
    int ImageWidth() const;
    int ImageHeight() const;
    // Builds the mask of face and highlight pixels of the image rectangle in context 0.
    void CreateMask(SECBtnDrawContext& ctx, const CRect& image);

    HBITMAP m_hStrip = nullptr; // the strip chosen by SelectImage for this paint
};

class SECTBTextButton : public SECStdBtn {
public:
    SECTBTextButton();
    ~SECTBTextButton() override;

    void Init(SECCustomToolBar* pToolBar, const UINT* pData) override;
    void DrawImage(CDC& dc, SECBtnDrawContext& ctx, int x, int y) override;
    virtual void DrawText(CDC& dc);
    const SECButtonClass* GetBtnClass() const override;

    static const SECButtonClass classSECTBTextButton;
    // The font every text button shares while any lives.
    static CFont* GetSharedFont();

    CString m_strText;

protected:
    BOOL ShowsText() const;
};
