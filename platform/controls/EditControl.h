// The edit control's window: the "Edit" class and the rich edit stand-in (a multi-line edit
// that also answers the rich edit messages its callers send). Decodes each message once into
// the buffer, the layout and the view state, and paints through EditPainter.
#pragma once

#include "platform/controls/EditBuffer.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/EditLayout.h"
#include "platform/win/UserApi.h"

#include <string>
#include <vector>

class EditControl : private IEditMeasure {
public:
    enum class Kind { Edit, RichEdit };
    EditControl(HWND hwnd, const CREATESTRUCT& cs, Kind kind);
    ~EditControl() override;
    EditControl(const EditControl&) = delete;
    EditControl& operator=(const EditControl&) = delete;

    static LRESULT CALLBACK EditWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK RichEditWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    const EditBuffer& Buffer() const { return m_buffer; }

private:
    static LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Kind kind);
    template <class State>
    friend class ControlCallGuard;
    template <class State>
    friend void OrphanControlState(HWND hwnd, State* state);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnRichEditMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // ---- Style ----
    bool MultiLine() const { return (m_style & ES_MULTILINE) != 0; }
    bool ReadOnly() const { return (m_style & ES_READONLY) != 0; }
    bool Wraps() const;

    // ---- Editing with notifications ----
    enum class Origin { User, Program };
    // Replaces the selection; sends EN_UPDATE/EN_CHANGE (and EN_MAXTEXT when the text was cut).
    void Replace(std::string_view text, UndoMerge merge, Origin origin);
    void TypeChar(unsigned char ch);
    void TypeText(std::string text);
    void AfterChange(Origin origin);
    // Whether a change by the user left more than a control without automatic scrolling shows.
    bool Overflows(int rowsBefore);
    bool CanChange();
    void SetText(std::string_view text);

    // ---- Clipboard ----
    void Copy();
    void Cut();
    void Paste();
    void Clear();
    void DoUndo();

    // ---- Keyboard and mouse ----
    void OnKeyDown(UINT vk);
    void OnChar(UINT ch);
    // Where a caret at the end of a wrapped row shows: at that end, or at the start of the row
    // that continues it (both are the same position in the text).
    enum class CaretSide { NextRow, RowEnd };
    void MoveTo(int pos, bool extend, bool keepColumn = false, CaretSide side = CaretSide::NextRow);
    // The position nearest a client point, and the row it was found on.
    int CharFromPoint(POINT pt, int* rowOut = nullptr) const;
    CaretSide SideFor(int pos, int row) const;
    int CaretRow() const;
    void OnMouseDown(POINT pt, bool extend);
    void OnMouseDrag(POINT pt);
    void OnDoubleClick(POINT pt);
    // The edit menu (undo, cut, copy, paste, delete, select all) at a screen point, or at the
    // caret for the keyboard (-1, -1).
    void ContextMenu(POINT screen);

    // ---- Layout, scrolling, caret ----
    void Relayout();
    void UpdateFormatRect();
    int VisibleRows() const;
    int RowX(int row, int pos);
    POINT PosFromChar(int pos);
    void ScrollCaret();
    bool ScrollTo(int firstRow, int xOffset, UINT notify);
    void UpdateScrollBars();
    void UpdateCaret();
    void InvalidateRows(int fromRow, int toRow);
    void InvalidateSelectionChange(int oldStart, int oldEnd);
    void OnScroll(int bar, int code);
    void Paint(HDC dc);
    void SetFont(HFONT font, bool redraw);
    void Notify(UINT code);

    // IEditMeasure
    void Advances(std::string_view text, std::vector<int>& ends) override;

    HWND m_hwnd;
    int m_depth = 0;          // calls of the control's own code on the stack
    bool m_orphaned = false;  // its window is gone; the last call deletes it
    Kind m_kind;
    // The window's style as the control knows it. Its scroll-bar bits say which bars the
    // control keeps, shown or hidden; the window's own bits only say which show now (a bar a
    // rich edit hides while the text fits drops from them).
    DWORD m_style;
    EditBuffer m_buffer;
    EditLayout m_layout{*this};
    HFONT m_font = nullptr;
    HDC m_measureDC = nullptr;
    int m_lineHeight = 16;
    int m_charWidth = 7;
    RECT m_format{0, 0, 0, 0};
    bool m_formatSet = false;
    int m_leftMargin = 2;
    int m_rightMargin = 2;
    int m_firstRow = 0;
    int m_xOffset = 0;
    int m_widest = 0;   // the widest row seen, for the horizontal scroll range
    int m_desiredX = -1;
    CaretSide m_caretSide = CaretSide::NextRow;
    std::vector<int> m_tabStops;   // pixels; empty: every eight average characters
    char m_passwordChar = 0;
    bool m_focused = false;
    bool m_tracking = false;
    std::pair<int, int> m_dragWord{-1, -1};   // the word a double-click drag started on
    POINT m_dragPoint{0, 0};
    static constexpr UINT_PTR kDragScrollTimer = 1;
    static constexpr UINT kDragScrollInterval = 50;
    std::string m_pendingChar;                 // the bytes of a character still arriving
    // Rich edit stand-in.
    DWORD m_eventMask = 0;
    bool m_hideSelection = false;
    bool m_hasBackground = false;
    COLORREF m_background = 0;
    HBRUSH m_backgroundBrush = nullptr;
};
