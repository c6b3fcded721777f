// The static control: what each kind draws, images of the right type only, and clicks that
// reach the parent only with SS_NOTIFY.
#include "platform/controls/Static.h"
#include "tests/platform/controls/ControlsFixture.h"

TEST(StaticStateTest, KindsFormatsAndImages)
{
    EXPECT_EQ(StaticState(SS_CENTER).Kind(), StaticKind::Text);
    EXPECT_TRUE(StaticState(SS_CENTER).TextFormat() & DT_CENTER);
    EXPECT_TRUE(StaticState(SS_LEFT).TextFormat() & DT_WORDBREAK);
    EXPECT_FALSE(StaticState(SS_LEFTNOWORDWRAP).TextFormat() & DT_WORDBREAK);
    EXPECT_TRUE(StaticState(SS_LEFT | SS_NOPREFIX).TextFormat() & DT_NOPREFIX);
    const UINT path = StaticState(SS_LEFT | SS_PATHELLIPSIS).TextFormat();
    EXPECT_TRUE(path & DT_PATH_ELLIPSIS);
    EXPECT_TRUE(path & DT_SINGLELINE) << "an ellipsis needs a single line";
    EXPECT_EQ(StaticState(SS_ETCHEDHORZ).Kind(), StaticKind::Etched);
    EXPECT_EQ(StaticState(SS_BLACKFRAME).FillColorIndex(), COLOR_WINDOWFRAME);

    StaticState icon(SS_ICON);
    HANDLE image = reinterpret_cast<HANDLE>(0x1234);
    EXPECT_EQ(icon.SetImage(IMAGE_BITMAP, image), nullptr);
    EXPECT_EQ(icon.Image(), nullptr) << "a bitmap is refused by an icon static";
    icon.SetImage(IMAGE_ICON, image);
    EXPECT_EQ(icon.Image(), image);
    StaticState text(SS_LEFT);
    text.SetImage(IMAGE_ICON, image);
    EXPECT_EQ(text.Image(), nullptr);
}

class StaticTest : public ControlsTest {};

TEST_F(StaticTest, DrawsItsKindAndTellsClicksOnlyWhenAsked)
{
    HWND rect = Child(WC_STATIC, "", SS_GRAYRECT, 10, 10, 20, 20, 1);
    HWND frame = Child(WC_STATIC, "", SS_BLACKFRAME, 40, 10, 20, 20, 2);
    HWND etched = Child(WC_STATIC, "", SS_ETCHEDHORZ, 70, 10, 60, 2, 3);
    HWND label = Child(WC_STATIC, "&Name:", SS_RIGHT, 10, 40, 100, 16, 4);
    UpdateWindow(parent);
    for (HWND h : {rect, frame, etched, label})
        UpdateWindow(h);
    EXPECT_EQ(Pixel(rect, 10, 10), Rgb(GetSysColor(COLOR_3DSHADOW)));
    EXPECT_EQ(Pixel(frame, 0, 10), Rgb(GetSysColor(COLOR_WINDOWFRAME)));
    EXPECT_EQ(Pixel(frame, 10, 10), Rgb(GetSysColor(COLOR_BTNFACE))) << "a frame is hollow";
    EXPECT_EQ(Pixel(etched, 30, 0), Rgb(GetSysColor(COLOR_3DSHADOW)));
    EXPECT_EQ(Pixel(etched, 30, 1), Rgb(GetSysColor(COLOR_3DHILIGHT)));
    // Right-aligned text in the test font of the default font (11 pixels high, 5 wide): "Name:"
    // is 5 boxes ending at the right edge; the mnemonic's '&' takes no place of its own.
    EXPECT_EQ(Pixel(label, 100 - 5 * 5 + 1, 3), Rgb(GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_EQ(Pixel(label, 100 - 5 * 5 - 3, 3), Rgb(GetSysColor(COLOR_BTNFACE)));

    // A plain label lets the click through to its parent; SS_NOTIFY makes it the static's.
    Received().clear();
    backend->Click(1, At(label, 50, 8));
    backend->ProcessMessages();
    EXPECT_TRUE(Commands(4).empty());
    HWND notify = Child(WC_STATIC, "Link", SS_LEFT | SS_NOTIFY, 10, 70, 60, 16, 5);
    backend->Click(1, At(notify, 5, 5));
    backend->ProcessMessages();
    EXPECT_EQ(Commands(5), (std::vector<int>{STN_CLICKED}));
    EXPECT_EQ(SendMessage(notify, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}
