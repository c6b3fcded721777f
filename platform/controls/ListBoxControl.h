// The list box's window: the "ListBox" class and the "ComboLBox" list a combo box shows. Decodes
// each message once into the model, lays the items out in one column, many columns or rows of
// their own heights, and paints them itself or through the owner (WM_DRAWITEM).
#pragma once

#include "platform/controls/ListBoxDefs.h"
#include "platform/controls/ListBoxModel.h"
#include "platform/win/UserApi.h"

#include <string>
#include <vector>

// Given as the creation parameter of a "ComboLBox" list: who hears of it and who draws it.
struct ComboListOwner {
    HWND notify;   // gets the LBN_ notifications (the combo box)
    HWND owner;    // measures, draws, compares and deletes owner-drawn items (the combo's parent)
    HWND item;     // the control those items belong to (the combo box)
    UINT ctlType;  // ODT_COMBOBOX
};

class ListBoxControl {
public:
    ListBoxControl(HWND hwnd, const CREATESTRUCT& cs);
    ListBoxControl(const ListBoxControl&) = delete;
    ListBoxControl& operator=(const ListBoxControl&) = delete;

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // ---- For the combo box that owns a list ----
    // Who hears of the list: notifications go to `notify`; owner-drawn items are measured,
    // drawn, compared and deleted by `owner` as items of the control `item` of type `ctlType`.
    void SetOwnerInfo(HWND notify, HWND owner, HWND item, UINT ctlType);
    const ListBoxModel& Model() const { return m_model; }
    // The item under a client point, or -1 when the point is outside the items.
    int ItemAt(POINT pt) const;
    // Selects an item as the program would (no notification), scrolling it into view.
    void Select(int index);
    int ItemHeight(int index) const;
    // The height the first `rows` items need (all of them when fewer).
    int HeightOfRows(int rows) const;

private:
    template <class State>
    friend class ControlCallGuard;
    template <class State>
    friend void OrphanControlState(HWND hwnd, State* state);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool HasStrings() const;
    bool OwnerDrawn() const { return (m_style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
    bool Variable() const { return (m_style & LBS_OWNERDRAWVARIABLE) != 0 && !(m_style & LBS_MULTICOLUMN); }
    bool MultiColumn() const { return (m_style & LBS_MULTICOLUMN) != 0; }

    // ---- Items ----
    LRESULT AddItem(LPARAM lParam);
    LRESULT InsertItem(int index, LPARAM lParam);
    ListItem MakeItem(int index, LPARAM lParam);
    void DeleteNotify(int index);
    int CompareItems(const ListItem& a, const ListItem& b);

    // ---- Geometry and scrolling ----
    RECT Client() const;
    int RowsPerColumn() const;
    int VisibleCount() const;   // items wholly shown from the top
    RECT ItemRect(int index) const;
    int MaxTop() const;
    void SetTop(int top);
    void EnsureVisible(int index);
    void UpdateScrollBars();
    void OnScroll(int bar, int code);
    // The items changed: the scroll bars follow at the next paint, so that filling a list
    // item by item does not redraw its bar each time.
    void Changed();
    // An item was added at `index`: repaints only when it shows, or to bring the bars up to date.
    void Added(int index);
    void AdjustIntegralHeight();

    // ---- Input ----
    ListModifiers Modifiers() const;
    void OnKeyDown(UINT vk);
    void OnChar(UINT ch);
    void MoveCaret(int index, ListModifiers mods);
    void Notify(UINT code);
    void SelectionChanged(bool changed);

    void Paint(HDC dc);
    void SetFont(HFONT font, bool redraw);

    HWND m_hwnd;
    int m_depth = 0;          // calls of the control's own code on the stack
    bool m_orphaned = false;  // its window is gone; the last call deletes it
    DWORD m_style;
    ListBoxModel m_model;
    HFONT m_font = nullptr;
    int m_itemHeight = 16;
    int m_charWidth = 7;
    int m_columnWidth = 0;
    int m_horizontalExtent = 0;
    int m_xOffset = 0;
    std::vector<int> m_tabStops;
    bool m_focused = false;
    bool m_tracking = false;
    bool m_redraw = true;
    bool m_sizing = false;
    bool m_scrollDirty = false;
    int m_requestedHeight = 0;   // the window height asked for, before whole items cut it
    int m_appliedHeight = -1;    // the height the list gave itself last
    std::string m_prefix;
    DWORD m_prefixTime = 0;
    // The combo box's arrangement (or the parent's, for a list of its own).
    HWND m_notify = nullptr;
    HWND m_owner = nullptr;
    HWND m_item = nullptr;
    UINT m_ctlType = 2;   // ODT_LISTBOX
    // What the scroll bars were last told, to leave them alone when nothing changed.
    SCROLLINFO m_lastV{};
    SCROLLINFO m_lastH{};
};
