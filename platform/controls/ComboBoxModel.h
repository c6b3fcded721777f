// The combo box's model: which kind it is, whether its list is dropped, the selection to go
// back to when a drop is cancelled, and what each key does in each state. The items and their
// selection live in the list's own model.
#pragma once

#include "platform/core/Types.h"

enum class ComboKind { Simple, DropDown, DropDownList };

// What a key asks of the combo box.
enum class ComboKey {
    None,      // not the combo box's key
    Drop,      // open the list
    Accept,    // close the list, keeping its selection (CBN_SELENDOK)
    Cancel,    // close the list, going back to the selection it opened with (CBN_SELENDCANCEL)
    ToList,    // the list moves its selection
};

class ComboBoxModel {
public:
    explicit ComboBoxModel(ComboKind kind = ComboKind::DropDown) : m_kind(kind) {}
    ComboKind Kind() const { return m_kind; }
    bool HasEdit() const { return m_kind != ComboKind::DropDownList; }
    bool DropsDown() const { return m_kind != ComboKind::Simple; }

    bool Dropped() const { return m_dropped; }
    // Opens with the selection it had; false when already open or the list cannot drop.
    bool Drop(int selection);
    // Closes; the selection to restore after a cancel.
    int Close();
    int SelectionAtDrop() const { return m_selectionAtDrop; }

    bool ExtendedUI() const { return m_extendedUI; }
    void SetExtendedUI(bool on) { m_extendedUI = on; }

    // The action of a key press (a virtual key, with Alt held or not).
    ComboKey KeyAction(UINT vk, bool alt) const;

private:
    ComboKind m_kind;
    bool m_dropped = false;
    bool m_extendedUI = false;
    int m_selectionAtDrop = -1;
};
