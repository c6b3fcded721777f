// The combo box's window: an edit (or a selection field) above a list, the list dropped down as
// a pop-up that the combo box tracks with the mouse captured. Decodes each message once; the
// items and their selection live in the list, what the keys do in the model.
#pragma once

#include "platform/controls/ComboBoxDefs.h"
#include "platform/controls/ComboBoxModel.h"
#include "platform/win/UserApi.h"

#include <string>

class ListBoxControl;

class ComboBoxControl {
public:
    ComboBoxControl(HWND hwnd, const CREATESTRUCT& cs);
    ComboBoxControl(const ComboBoxControl&) = delete;
    ComboBoxControl& operator=(const ComboBoxControl&) = delete;

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    template <class State>
    friend class ControlCallGuard;
    template <class State>
    friend void OrphanControlState(HWND hwnd, State* state);
    static LRESULT CALLBACK EditSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate(const CREATESTRUCT& cs);
    bool OwnerDrawn() const { return (m_style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }
    ListBoxControl* List() const;

    // ---- Geometry ----
    RECT Field() const;
    RECT ButtonRect() const;
    RECT TextRect() const;
    RECT DroppedRect() const;
    void Layout();
    void MeasureField();

    // ---- The drop ----
    void Drop();
    void CloseUp(bool accept);
    void TrackMouse(UINT message, POINT pt);
    bool KeyDown(UINT vk, bool alt);

    // ---- Selection and text ----
    void SelectionToText();
    int CurSel() const;
    void SelectFromList(int index);
    void FocusIn();
    void FocusOut(HWND newFocus);
    void Notify(UINT code);
    LRESULT ToList(UINT message, WPARAM wParam, LPARAM lParam) const;

    void Paint(HDC dc);

    HWND m_hwnd;
    int m_depth = 0;          // calls of the control's own code on the stack
    bool m_orphaned = false;  // its window is gone; the last call deletes it
    DWORD m_style;
    ComboBoxModel m_model;
    HWND m_edit = nullptr;
    HWND m_list = nullptr;
    HFONT m_font = nullptr;
    int m_fieldHeight = 21;
    int m_droppedHeight = 100;
    int m_droppedWidth = 0;
    bool m_focused = false;
    bool m_buttonDown = false;       // pressed on the field or the button, and not yet released
    bool m_movedWhileDropped = false; // the mouse moved the selection of the dropped list
    bool m_settingText = false;
    bool m_handingOver = false;       // the capture goes to the list's scroll bar for a while
};
