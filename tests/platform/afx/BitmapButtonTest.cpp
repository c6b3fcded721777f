// Bitmap buttons: the four images named after the button's text, the button sized to them, and
// the image each state shows, read back as pixels of the dialog.
#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/afx/dlg/CDialog.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/platform/afx/data/DialogIds.h"
#include "tests/support/DialogAutomation.h"

#include <cairo.h>

namespace {

class BitmapButtonTest : public AfxTest {
protected:
    // The colour at a client point of a child, read from its top-level window's pixels.
    COLORREF PixelAt(HWND child, int x, int y)
    {
        HWND root = GetAncestor(child, GA_ROOT);
        UpdateWindow(root);
        backend->ProcessMessages();
        POINT pt{x, y};
        ::ClientToScreen(child, &pt);
        RECT window;
        GetWindowRect(root, &window);
        cairo_surface_t* surface = backend->Capture(root);
        if (!surface)
            return CLR_INVALID;
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const auto* p = reinterpret_cast<const uint32_t*>(data + (pt.y - window.top) * stride) + (pt.x - window.left);
        const uint32_t argb = *p;
        cairo_surface_destroy(surface);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
};

TEST_F(BitmapButtonTest, EachStateShowsItsImage)
{
    CDialog dlg(IDD_BITMAPS, top.get());
    ASSERT_TRUE(dlg.Create(IDD_BITMAPS, top.get()));
    dlg.ShowWindow(SW_SHOW);
    CBitmapButton ok;
    ASSERT_TRUE(ok.AutoLoad(IDOK, &dlg));
    EXPECT_EQ(CWnd::FromHandlePermanent(ok.m_hWnd), &ok);
    CRect r;
    ok.GetClientRect(&r);
    EXPECT_EQ(r.Width(), 40) << "sized to its up image";
    EXPECT_EQ(r.Height(), 20);

    const COLORREF green = RGB(0, 128, 0);
    const COLORREF red = RGB(128, 0, 0);
    const COLORREF blue = RGB(0, 0, 128);
    const COLORREF grey = RGB(128, 128, 128);
    dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_NAME));
    ok.Invalidate();
    EXPECT_EQ(PixelAt(ok.m_hWnd, 20, 10), green) << "up";
    EXPECT_EQ(PixelAt(ok.m_hWnd, 0, 0), RGB(0, 0, 0)) << "the image's frame at the button's corner";

    dlg.GotoDlgCtrl(&ok);
    EXPECT_EQ(PixelAt(ok.m_hWnd, 20, 10), blue) << "focused";

    const POINT centre = dialog_automation::CentreOf(ok.m_hWnd);
    backend->MouseDown(1, centre);
    backend->ProcessMessages();
    EXPECT_EQ(PixelAt(ok.m_hWnd, 20, 10), red) << "pressed";
    backend->MouseUp(1, POINT{centre.x + 200, centre.y + 200});   // released outside: no click
    backend->ProcessMessages();
    EXPECT_EQ(PixelAt(ok.m_hWnd, 20, 10), blue);

    dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_NAME));
    ok.EnableWindow(FALSE);
    EXPECT_EQ(PixelAt(ok.m_hWnd, 20, 10), grey) << "disabled";
    dlg.DestroyWindow();
}

TEST_F(BitmapButtonTest, MissingImagesAreReported)
{
    CBitmapButton button;
    EXPECT_FALSE(button.LoadBitmaps("NOSUCHU"));
    EXPECT_EQ(button.m_bitmap.GetSafeHandle(), nullptr);
    EXPECT_TRUE(button.LoadBitmaps("OKU", "OKD"));
    EXPECT_NE(button.m_bitmapSel.GetSafeHandle(), nullptr);
    EXPECT_EQ(button.m_bitmapFocus.GetSafeHandle(), nullptr);
    EXPECT_FALSE(button.LoadBitmaps("OKU", "NOSUCHD")) << "a named image that is missing";
    EXPECT_NE(button.m_bitmap.GetSafeHandle(), nullptr) << "the up image still loaded";

    // A button whose text names no images cannot be drawn: AutoLoad says so.
    CDialog dlg(IDD_BITMAPS, top.get());
    ASSERT_TRUE(dlg.Create(IDD_BITMAPS, top.get()));
    CBitmapButton cancel;
    EXPECT_FALSE(cancel.AutoLoad(IDCANCEL, &dlg));
    dlg.DestroyWindow();
}

} // namespace
