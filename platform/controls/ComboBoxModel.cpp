#include "platform/controls/ComboBoxModel.h"

#include "platform/win/VirtualKeys.h"

bool ComboBoxModel::Drop(int selection)
{
    if (m_dropped || !DropsDown())
        return false;
    m_dropped = true;
    m_selectionAtDrop = selection;
    return true;
}

int ComboBoxModel::Close()
{
    m_dropped = false;
    return m_selectionAtDrop;
}

ComboKey ComboBoxModel::KeyAction(UINT vk, bool alt) const
{
    const bool vertical = vk == VK_UP || vk == VK_DOWN;
    if (m_dropped) {
        if (vk == VK_F4 || (alt && vertical))
            return ComboKey::Accept;
        if (vk == VK_RETURN)
            return ComboKey::Accept;
        if (vk == VK_ESCAPE)
            return ComboKey::Cancel;
        if (vertical || vk == VK_PRIOR || vk == VK_NEXT)
            return ComboKey::ToList;
        // Home and End belong to the edit when there is one.
        if ((vk == VK_HOME || vk == VK_END) && !HasEdit())
            return ComboKey::ToList;
        return ComboKey::None;
    }
    if (DropsDown()) {
        // The extended interface drops on Down and leaves F4 alone.
        if ((vk == VK_F4 && !m_extendedUI) || (alt && vertical) || (m_extendedUI && vk == VK_DOWN))
            return ComboKey::Drop;
    }
    if (vertical || vk == VK_PRIOR || vk == VK_NEXT)
        return ComboKey::ToList;
    if ((vk == VK_HOME || vk == VK_END) && !HasEdit())
        return ComboKey::ToList;
    return ComboKey::None;
}
