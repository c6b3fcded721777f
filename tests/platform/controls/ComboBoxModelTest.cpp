#include "platform/controls/ComboBoxModel.h"
#include "platform/win/VirtualKeys.h"

#include <gtest/gtest.h>

TEST(ComboBoxModel, KeysDropCloseAndMoveByState)
{
    ComboBoxModel m(ComboKind::DropDownList);
    EXPECT_EQ(m.KeyAction(VK_F4, false), ComboKey::Drop);
    EXPECT_EQ(m.KeyAction(VK_DOWN, true), ComboKey::Drop) << "Alt+Down";
    EXPECT_EQ(m.KeyAction(VK_DOWN, false), ComboKey::ToList);
    EXPECT_EQ(m.KeyAction(VK_HOME, false), ComboKey::ToList);
    EXPECT_EQ(m.KeyAction(VK_RETURN, false), ComboKey::None) << "closed: Enter is the dialog's";
    ASSERT_TRUE(m.Drop(4));
    EXPECT_FALSE(m.Drop(5)) << "already open";
    EXPECT_EQ(m.KeyAction(VK_RETURN, false), ComboKey::Accept);
    EXPECT_EQ(m.KeyAction(VK_ESCAPE, false), ComboKey::Cancel);
    EXPECT_EQ(m.KeyAction(VK_F4, false), ComboKey::Accept);
    EXPECT_EQ(m.KeyAction(VK_UP, true), ComboKey::Accept);
    EXPECT_EQ(m.KeyAction(VK_NEXT, false), ComboKey::ToList);
    EXPECT_EQ(m.Close(), 4) << "the selection to go back to";
    EXPECT_FALSE(m.Dropped());

    // With an edit, Home and End edit the text; the extended interface drops on Down alone.
    ComboBoxModel edit(ComboKind::DropDown);
    EXPECT_EQ(edit.KeyAction(VK_HOME, false), ComboKey::None);
    edit.SetExtendedUI(true);
    EXPECT_EQ(edit.KeyAction(VK_DOWN, false), ComboKey::Drop);
    EXPECT_EQ(edit.KeyAction(VK_F4, false), ComboKey::None);

    // A simple combo box never drops.
    ComboBoxModel simple(ComboKind::Simple);
    EXPECT_FALSE(simple.Drop(0));
    EXPECT_EQ(simple.KeyAction(VK_F4, false), ComboKey::None);
    EXPECT_EQ(simple.KeyAction(VK_DOWN, false), ComboKey::ToList);
}
