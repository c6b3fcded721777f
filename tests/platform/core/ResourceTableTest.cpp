#include "platform/core/ResourceTable.h"

#include "platform/core/CString.h"
#include "platform/core/SystemServices.h"
#include "platform/core/VersionInfo.h"
#include "platform/core/WinError.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A library module's table built by hand, as the compiler's generated source would lay it out.
struct HandTable {
    std::vector<BYTE> strings = [] {
        std::vector<std::string> s(16);
        s[2] = "Second text";
        s[3] = "Größe";
        return WriteStringBlock(s);
    }();
    std::vector<BYTE> dialog = WriteDialogTemplate(DialogTemplate{});
    std::vector<BYTE> menu = WriteMenuTemplate(MenuTemplate{});
    const BYTE custom[3] = {1, 2, 3};
    ResourceEntry entries[4] = {
        {RT_STRING, MAKEINTRESOURCE(StringBlockId(60002)), strings.data(), static_cast<DWORD>(strings.size())},
        {RT_DIALOG, MAKEINTRESOURCE(300), dialog.data(), static_cast<DWORD>(dialog.size())},
        {RT_MENU, MAKEINTRESOURCE(300), menu.data(), static_cast<DWORD>(menu.size())},
        {"PAGEDATA", "SAMPLE", custom, 3},
    };
    ResourceModuleTable table{"TableTestLib", entries, 4};
};

HandTable& Hand()
{
    static HandTable hand;
    return hand;
}

} // namespace

TEST(ResourceTable, FindsByTypeAndNameInItsOwnModuleAndLoadsStrings)
{
    HMODULE lib = RegisterResourceModule(Hand().table);
    ASSERT_NE(lib, nullptr);
    EXPECT_NE(lib, VOSTREL_PROGRAM_INSTANCE);
    EXPECT_EQ(RegisterResourceModule(Hand().table), lib); // again: harmless
    EXPECT_EQ(FindResourceModule("tabletestlib"), lib);

    // A dialog and a menu share id 300 and stay apart.
    HRSRC dlg = FindResource(lib, MAKEINTRESOURCE(300), RT_DIALOG);
    HRSRC menu = FindResource(lib, "#300", RT_MENU);
    ASSERT_NE(dlg, nullptr);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(LockResource(LoadResource(lib, dlg)), Hand().dialog.data());
    EXPECT_EQ(SizeofResource(lib, menu), Hand().menu.size());
    HRSRC custom = FindResource(lib, "sample", "PageData");
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(std::memcmp(LockResource(LoadResource(lib, custom)), "\1\2\3", 3), 0);

    SetLastError(0);
    EXPECT_EQ(FindResource(lib, MAKEINTRESOURCE(301), RT_DIALOG), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResource(lib, MAKEINTRESOURCE(300), RT_TOOLBAR), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    // Not in the program's module, but the search finds the library.
    EXPECT_EQ(FindResource(nullptr, MAKEINTRESOURCE(300), RT_MENU), nullptr);
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(300), RT_MENU), lib);
    EXPECT_EQ(SizeofResource(lib, reinterpret_cast<HRSRC>(&Hand())), 0u); // not a resource handle

    char buffer[32];
    EXPECT_EQ(LoadString(lib, 60002, buffer, sizeof buffer), 11);
    EXPECT_STREQ(buffer, "Second text");
    EXPECT_EQ(LoadString(lib, 60002, buffer, 7), 6);
    EXPECT_STREQ(buffer, "Second");
    // A cut never splits a character: "Gr" + the two bytes of "ö" do not fit in 4.
    EXPECT_EQ(LoadString(lib, 60003, buffer, 4), 2);
    EXPECT_STREQ(buffer, "Gr");
    LPCSTR direct = nullptr;
    EXPECT_EQ(LoadString(lib, 60003, reinterpret_cast<LPSTR>(&direct), 0), 7);
    EXPECT_STREQ(direct, "Größe");
    EXPECT_EQ(LoadString(lib, 60004, buffer, sizeof buffer), 0); // missing in a present block
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(LoadString(lib, 61000, buffer, sizeof buffer), 0); // no block at all

    // CString::LoadString searches every module.
    CString text;
    EXPECT_TRUE(text.LoadString(60002));
    EXPECT_EQ(text, "Second text");
    EXPECT_FALSE(text.LoadString(60004));
}

TEST(ResourceTable, AProgramVersionResourceBecomesTheProgramsVersion)
{
    const ModuleVersion saved = GetProgramVersion();
    ModuleVersion v;
    v.fileVersion[0] = 2;
    v.fileVersion[3] = 9;
    v.fileFlags = 0x2;
    v.strings = {{"ProductName", "Vostrel Test"}};
    static const std::string block = BuildVersionBlock(v);
    static const ResourceEntry entries[] = {
        {RT_VERSION, MAKEINTRESOURCE(VS_VERSION_INFO), reinterpret_cast<const BYTE*>(block.data()),
         static_cast<DWORD>(block.size())}};
    static const ResourceModuleTable table{"program", entries, 1};
    EXPECT_EQ(RegisterResourceModule(table), VOSTREL_PROGRAM_INSTANCE);
    const ModuleVersion now = GetProgramVersion();
    SetProgramVersion(saved);
    EXPECT_EQ(now.fileVersion[0], 2);
    EXPECT_EQ(now.fileVersion[3], 9);
    EXPECT_EQ(now.fileFlags, 0x2u);
    ASSERT_EQ(now.strings.size(), 1u);
    EXPECT_EQ(now.strings[0].second, "Vostrel Test");

    HRSRC res = FindResource(nullptr, MAKEINTRESOURCE(VS_VERSION_INFO), RT_VERSION);
    ASSERT_NE(res, nullptr);
    LPVOID value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValue(LockResource(LoadResource(nullptr, res)), "\\StringFileInfo\\040904b0\\ProductName",
                              &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Vostrel Test");
    ModuleVersion damaged;
    EXPECT_FALSE(ParseVersionBlock(block.data(), block.size() - 1, damaged));
}
