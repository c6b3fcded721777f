// A grid's Copy and Paste against another program on the X11 backend under Xvfb: a block of
// 30,000 x 10 cells and a cell of 20 MB reach a requestor on another connection in pieces, byte for byte; text of
// tens of megabytes served in pieces by another program lands in the cells; junk bytes and a
// reader that stops half way neither crash nor hang the grid.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridView.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXGridParam.h"
#include "grid/features/GXGridFeatures.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/StandardControls.h"

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/grid/GridX11Fixture.h"
#include "tests/support/ForeignClipboardOwner.h"
#include "tests/support/ScreenCapture.h"

namespace {

constexpr ROWCOL kCols = 10;

std::string CellText(ROWCOL r, ROWCOL c)
{
    return "p" + std::to_string(r) + "/" + std::to_string(c);
}

// The block as the grid writes it: cells apart by TAB, every row ended by CR LF.
std::string Tsv(ROWCOL nRows, ROWCOL nCols)
{
    std::string s;
    for (ROWCOL r = 1; r <= nRows; ++r) {
        for (ROWCOL c = 1; c <= nCols; ++c) {
            if (c > 1)
                s += '\t';
            s += CellText(r, c);
        }
        s += "\r\n";
    }
    return s;
}

class GridClipboardX11Test : public GridX11Test {
protected:
    bool WithFeatures() const override { return true; }
    void SetUp() override
    {
        GridX11Test::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_frame = new CFrameWnd; // goes with its window
        ASSERT_TRUE(m_frame->Create(nullptr, "Pages", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 620, 420)));
        m_view = new CGXGridView; // goes with its window
        ASSERT_TRUE(m_view->Create(nullptr, "", AFX_WS_DEFAULT_VIEW | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, 560, 360), m_frame,
                                   AFX_IDW_PANE_FIRST));
        m_view->OnInitialUpdate();
        m_frame->RecalcLayout();
        m_view->GetParam()->EnableUndo(FALSE);
        m_view->SetRowCount(3, 0);
        m_view->SetColCount(kCols, 0);
        m_view->GetParam()->EnableUndo(TRUE);
    }
    void TearDown() override
    {
        if (Ready()) {
            if (m_frame != nullptr)
                m_frame->DestroyWindow();
            EXPECT_TRUE(Drained()) << "what the windows posted on their way out never ran";
        }
        GridX11Test::TearDown();
    }
    void Select(const CGXRange& range)
    {
        m_view->GetParam()->m_SelRects.DeleteAll();
        m_view->GetParam()->m_SelRects.AddTail(new CGXRange(range));
    }
    std::string Value(ROWCOL r, ROWCOL c) { return m_view->GetCellValue(r, c).GetString(); }

    CFrameWnd* m_frame = nullptr;
    CGXGridView* m_view = nullptr;
};

} // namespace

TEST_F(GridClipboardX11Test, CopiedCellsReachAnotherProgramInPiecesByteForByte)
{
    constexpr ROWCOL kCopyRows = 30000;
    m_view->GetParam()->EnableUndo(FALSE);
    m_view->SetRowCount(kCopyRows, 0);
    CGXStyle style;
    for (ROWCOL r = 1; r <= kCopyRows; ++r)
        for (ROWCOL c = 1; c <= kCols; ++c) {
            style.SetValue(CellText(r, c).c_str());
            m_view->GetData()->StoreStyle(r, c, &style, gxOverride, 0);
        }
    XSetWindowAttributes attrs{};
    attrs.event_mask = PropertyChangeMask;
    const Window requestor = XCreateWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, CopyFromParent, InputOnly,
                                           CopyFromParent, CWEventMask, &attrs);
    const Atom clipboard = XInternAtom(other, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(other, "UTF8_STRING", False);
    const Atom incr = XInternAtom(other, "INCR", False);
    const Atom property = XInternAtom(other, "GRID_PASTE", False);
    // The other program reads the clipboard as receivers do: a large text as INCR, then the
    // pieces, each asked for by deleting the last one. The number of pieces is counted.
    auto readAsOtherProgram = [&](std::string& received, int& pieces) -> bool {
        received.clear();
        pieces = 0;
        XConvertSelection(other, clipboard, utf8, property, requestor, CurrentTime);
        XFlush(other);
        XEvent reply{};
        if (!PumpUntil([&] { return XCheckTypedWindowEvent(other, requestor, SelectionNotify, &reply) == True; }) ||
            reply.xselection.property != property)
            return false;
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(other, requestor, property, 0, 0x1FFFFFFF, False, AnyPropertyType, &type, &format, &items, &after,
                           &data);
        if (type != incr) {
            // Small enough for one request: the text itself.
            if (data)
                received.assign(reinterpret_cast<const char*>(data), items);
            if (data)
                XFree(data);
            pieces = 1;
            return type == utf8;
        }
        if (data)
            XFree(data);
        XSync(other, False);
        for (XEvent stale; XCheckTypedWindowEvent(other, requestor, PropertyNotify, &stale);) {
        }
        XDeleteProperty(other, requestor, property);
        XFlush(other);
        bool done = false;
        return PumpUntil([&] {
            XEvent e;
            while (!done && XCheckTypedWindowEvent(other, requestor, PropertyNotify, &e)) {
                if (e.xproperty.atom != property || e.xproperty.state != PropertyNewValue)
                    continue;
                unsigned char* piece = nullptr;
                XGetWindowProperty(other, requestor, property, 0, 0x1FFFFFFF, True, AnyPropertyType, &type, &format,
                                   &items, &after, &piece);
                XFlush(other);
                if (piece) {
                    received.append(reinterpret_cast<const char*>(piece), items);
                    XFree(piece);
                }
                ++pieces;
                done = items == 0;
            }
            return done;
        }, 60000);
    };

    Select(CGXRange(1, 1, kCopyRows, kCols));
    ASSERT_TRUE(m_view->Copy());
    std::string received;
    int pieces = 0;
    ASSERT_TRUE(readAsOtherProgram(received, pieces));
    const std::string expected = Tsv(kCopyRows, kCols);
    EXPECT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected);

    // One cell of 20 MB goes out whole, also to a reader that comes after one that asked and
    // then never took a piece.
    std::string huge(20u << 20, 'v');
    huge[777777] = 'w';
    style.SetValue(huge.c_str());
    m_view->GetData()->StoreStyle(2, 3, &style, gxOverride, 0);
    Select(CGXRange(2, 3, 2, 3));
    ASSERT_TRUE(m_view->Copy());
    const Atom stalled = XInternAtom(other, "GRID_STALLED", False);
    XConvertSelection(other, clipboard, utf8, stalled, requestor, CurrentTime);
    XFlush(other);
    XEvent announced{};
    ASSERT_TRUE(PumpUntil([&] { return XCheckTypedWindowEvent(other, requestor, SelectionNotify, &announced) == True; }));
    EXPECT_EQ(announced.xselection.property, stalled);
    ASSERT_TRUE(readAsOtherProgram(received, pieces));
    EXPECT_GT(pieces, 50);
    EXPECT_EQ(received.size(), huge.size());
    EXPECT_TRUE(received == huge);
    XDestroyWindow(other, requestor);
}

TEST_F(GridClipboardX11Test, AnotherProgramsLargeTextIsPastedIntoTheCellsWithUndo)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    constexpr ROWCOL kPasteRows = 20000;
    // 20,000 rows of 10 cells ended by CR LF, but for one row ended by a lone CR.
    std::string text = Tsv(kPasteRows, kCols);
    text.erase(text.find("\r\n", 1000) + 1, 1);
    ForeignClipboardOwner owner(server->DisplayName(), text);
    ASSERT_TRUE(owner.Ready());
    Select(CGXRange(1, 1, 1, 1));
    ASSERT_TRUE(m_view->CanPaste());
    ASSERT_TRUE(m_view->Paste());
    // Asked once by each CanPaste and once while the paste held the clipboard open.
    EXPECT_EQ(owner.Served(), 3);
    EXPECT_EQ(m_view->GetRowCount(), kPasteRows);
    EXPECT_EQ(m_view->GetColCount(), kCols);
    EXPECT_EQ(Value(1, 1), CellText(1, 1));
    EXPECT_EQ(Value(12345, 7), CellText(12345, 7));
    EXPECT_EQ(Value(kPasteRows, kCols), CellText(kPasteRows, kCols));
    m_view->Redraw(GX_INVALIDATE);
    ASSERT_TRUE(Settle()) << "the windows never settled";
    if (keep) {
        cairo_surface_t* shot = screen_capture::Screenshot(server->DisplayName());
        if (shot) {
            cairo_surface_write_to_png(shot, (std::string(keep) + "/gridpaste.png").c_str());
            cairo_surface_destroy(shot);
        }
    }
    ASSERT_TRUE(m_view->Undo());
    EXPECT_EQ(m_view->GetRowCount(), 3u);
    EXPECT_EQ(Value(1, 1), "");
}

TEST_F(GridClipboardX11Test, AFiftyMegabyteLineAndJunkBytesLeaveASaneGrid)
{
    {
        // One line of 50 MB: one cell holds it whole.
        std::string line(50u << 20, 'm');
        line[12345] = 'q';
        ForeignClipboardOwner owner(server->DisplayName(), line);
        ASSERT_TRUE(owner.Ready());
        Select(CGXRange(2, 2, 2, 2));
        ASSERT_TRUE(m_view->Paste());
        EXPECT_EQ(m_view->GetRowCount(), 3u);
        const CString& value = m_view->GetCellValue(2, 2);
        EXPECT_EQ(static_cast<size_t>(value.GetLength()), line.size());
        EXPECT_EQ(value[12345], 'q');
        ASSERT_TRUE(m_view->Undo());
        EXPECT_EQ(Value(2, 2), "");
    }
    {
        // Bytes of every value, NULs and "\r\r\n" among them: the text ends at the first NUL,
        // and what comes before it lands in the cells.
        std::string junk = "a\r\r\nb\tc\x01\xff\xfe\r\n";
        for (int i = 0; i < 300000; ++i)
            junk += static_cast<char>((i * 131 + 7) % 256 == 0 ? 1 : (i * 131 + 7) % 256);
        junk += std::string(1, '\0') + "after the nul";
        ForeignClipboardOwner owner(server->DisplayName(), junk);
        ASSERT_TRUE(owner.Ready());
        Select(CGXRange(1, 1, 1, 1));
        ASSERT_TRUE(m_view->Paste());
        EXPECT_EQ(Value(1, 1), "a");
        EXPECT_EQ(Value(2, 1), ""); // the empty line between CR and CR LF
        EXPECT_EQ(Value(3, 1), "b");
        EXPECT_LT(m_view->GetRowCount(), 10000u);
        for (ROWCOL r = 1; r <= m_view->GetRowCount(); ++r)
            for (ROWCOL c = 1; c <= m_view->GetColCount(); ++c)
                EXPECT_EQ(m_view->GetCellValue(r, c).Find("after the nul"), -1);
    }
}
