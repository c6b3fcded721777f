#include "platform/core/VersionInfo.h"
#include "platform/core/SystemServices.h"

#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

namespace {

// Reads a module's version the way the program's callers do: by module handle.
bool ReadFixedInfo(HMODULE module, VS_FIXEDFILEINFO& info, std::vector<char>& block)
{
    char path[MAX_PATH + 1];
    if (GetModuleFileName(module, path, MAX_PATH) == 0)
        return false;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSize(path, &handle);
    if (size == 0)
        return false;
    block.assign(size, '\0');
    if (!GetFileVersionInfo(path, handle, size, block.data()))
        return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValue(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length))
        return false;
    EXPECT_EQ(sizeof(VS_FIXEDFILEINFO), length);
    info = *fixed;
    return true;
}

} // namespace

TEST(VersionInfoTest, TheProgramAnswersItsVersionTable)
{
    VS_FIXEDFILEINFO info{};
    std::vector<char> block;
    ASSERT_TRUE(ReadFixedInfo(nullptr, info, block));
    EXPECT_EQ(VS_FFI_SIGNATURE, info.dwSignature);
    EXPECT_EQ(0x00010000u, info.dwFileVersionMS);
    EXPECT_EQ(0x00000010u, info.dwFileVersionLS); // 1.0.0.16

    char* text = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValue(block.data(), "\\StringFileInfo\\040904b0\\ProductName", reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ("Vostrel", text);
    EXPECT_EQ(8u, length);
    ASSERT_TRUE(VerQueryValue(block.data(), "\\StringFileInfo\\040904B0\\companyname", reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ("Wexmoor", text);
    EXPECT_FALSE(VerQueryValue(block.data(), "\\StringFileInfo\\040904b0\\Nothing", reinterpret_cast<void**>(&text), &length));

    ModuleVersion saved = GetProgramVersion();
    ModuleVersion changed = saved;
    changed.fileVersion[0] = 2;
    changed.fileVersion[2] = 1;
    SetProgramVersion(changed);
    ASSERT_TRUE(ReadFixedInfo(nullptr, info, block));
    EXPECT_EQ(0x00020000u, info.dwFileVersionMS);
    EXPECT_EQ(0x00010010u, info.dwFileVersionLS);
    SetProgramVersion(saved);
}

TEST(VersionInfoTest, RegisteredLibraryLoadsAsAVersionOnlyModule)
{
    RegisterModuleVersion("WININET.DLL", "8.5.0-DEV", "libcurl");
    HMODULE module = LoadLibrary("wininet.dll");
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(module, LoadLibrary("WININET"));
    EXPECT_EQ(nullptr, GetProcAddress(module, "InternetOpenA"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), GetLastError());

    VS_FIXEDFILEINFO info{};
    std::vector<char> block;
    ASSERT_TRUE(ReadFixedInfo(module, info, block));
    EXPECT_EQ(0x00080005u, info.dwFileVersionMS);
    EXPECT_EQ(0u, info.dwFileVersionLS);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(VersionInfoTest, OtherLibrariesAndFilesHaveNoVersion)
{
    EXPECT_EQ(nullptr, LoadLibrary("MSVCRT.DLL"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
    DWORD handle = 0;
    EXPECT_EQ(0u, GetFileVersionInfoSize("COMCTL32.DLL", &handle));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());

    ScopedTempDir dir;
    std::ofstream(dir.File("plain.txt")) << "x";
    EXPECT_EQ(0u, GetFileVersionInfoSize(dir.File("plain.txt").c_str(), &handle));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND), GetLastError());

    char small[4];
    DWORD size = GetFileVersionInfoSize(nullptr, &handle);
    EXPECT_EQ(0u, size);
    char path[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileName(nullptr, path, sizeof path));
    EXPECT_FALSE(GetFileVersionInfo(path, 0, sizeof small, small));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
}
