#include "EngineTestSupport.h"

#include "engine/project/SystemUtil.h"
#include "platform/core/Registry.h"
#include "platform/core/SystemServices.h"
#include "platform/core/VersionInfo.h"

using namespace enginetest;

namespace {

SYSTEMTIME Date(WORD y, WORD mo, WORD d, WORD h = 0, WORD mi = 0, WORD s = 0)
{
    SYSTEMTIME st{};
    st.wYear = y;
    st.wMonth = mo;
    st.wDay = d;
    st.wHour = h;
    st.wMinute = mi;
    st.wSecond = s;
    st.wDayOfWeek = 6;      // ignored
    st.wMilliseconds = 999; // ignored
    return st;
}

TEST(SystemTimeToSeconds1970, KnownDates)
{
    LONG n = -1;
    ASSERT_TRUE(SystemTimeToSeconds1970(Date(1970, 1, 1), n));
    EXPECT_EQ(n, 0);
    ASSERT_TRUE(SystemTimeToSeconds1970(Date(2037, 12, 31, 23, 59, 59), n));
    EXPECT_EQ(n, 2145916799);
    ASSERT_TRUE(SystemTimeToSeconds1970(Date(2000, 2, 29, 12, 0, 0), n));
    EXPECT_EQ(n, 951825600);
    ASSERT_TRUE(SystemTimeToSeconds1970(Date(1972, 3, 1), n));
    EXPECT_EQ(n, 68256000);
    ASSERT_TRUE(SystemTimeToSeconds1970(Date(1999, 12, 31, 23, 59, 59), n));
    EXPECT_EQ(n, 946684799);
}

TEST(SystemTimeToSeconds1970, RejectsOutOfRange)
{
    LONG n = 0;
    EXPECT_FALSE(SystemTimeToSeconds1970(Date(2001, 2, 29), n));
    EXPECT_FALSE(SystemTimeToSeconds1970(Date(2038, 1, 1), n));
    EXPECT_FALSE(SystemTimeToSeconds1970(Date(1969, 12, 31), n));
    EXPECT_FALSE(SystemTimeToSeconds1970(Date(2000, 0, 1), n));
    EXPECT_FALSE(SystemTimeToSeconds1970(Date(2000, 13, 1), n));
    EXPECT_FALSE(SystemTimeToSeconds1970(Date(2000, 4, 31), n));
    EXPECT_FALSE(SystemTimeToSeconds1970(Date(2000, 4, 0), n));
    EXPECT_FALSE(SystemTimeToSeconds1970(Date(2000, 4, 1, 24), n));
    EXPECT_FALSE(SystemTimeToSeconds1970(Date(2000, 4, 1, 0, 60), n));
    EXPECT_FALSE(SystemTimeToSeconds1970(Date(2000, 4, 1, 0, 0, 60), n));
}

TEST(ReadRegistryDword, ValuesOfOtherTypesGiveTheDefault)
{
    const char* key = "Software\\Vostrel Engine Tests\\Dwords";
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    const DWORD dwValue = 17;
    RegSetValueEx(hKey, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
    RegSetValueEx(hKey, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("17"), 3);
    RegCloseKey(hKey);

    EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, key, "Number", 4), 17u);
    EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, key, "Text", 4), 4u);
    EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, key, "Missing", 4), 4u);
    EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, "Software\\No Such Key", "Number", 2), 2u);
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE,
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                                "MaxConnectionsPerServer", 2),
              2u);
}

} // namespace

namespace {

TEST(GetModuleFileVersion, RegisteredLibraryAndOptionalParts)
{
    RegisterModuleVersion("ENGINETEST.DLL", "8.5.3.2");
    HMODULE hModule = FindRegisteredModule("enginetest.dll");
    ASSERT_NE(hModule, nullptr);
    WORD major = 0, minor = 0, build = 0, revision = 0;
    ASSERT_TRUE(GetModuleFileVersion(hModule, &major, &minor, &build, &revision));
    EXPECT_EQ(major, 8);
    EXPECT_EQ(minor, 5);
    EXPECT_EQ(build, 3);
    EXPECT_EQ(revision, 2);
    WORD onlyMinor = 0;
    EXPECT_TRUE(GetModuleFileVersion(hModule, nullptr, &onlyMinor, nullptr, nullptr));
    EXPECT_EQ(onlyMinor, 5);
}

TEST(GetModuleFileVersion, TheProgramItself)
{
    // A version of its own, so that the answer cannot come from anywhere else.
    const ModuleVersion saved = GetProgramVersion();
    ModuleVersion version = saved;
    version.fileVersion[0] = 4;
    version.fileVersion[1] = 7;
    version.fileVersion[2] = 11;
    version.fileVersion[3] = 23;
    SetProgramVersion(version);
    WORD major = 0, minor = 0, build = 0, revision = 0;
    const bool bFound = GetModuleFileVersion(GetModuleHandle(nullptr), &major, &minor, &build, &revision);
    SetProgramVersion(saved);
    ASSERT_TRUE(bFound);
    EXPECT_EQ(major, 4);
    EXPECT_EQ(minor, 7);
    EXPECT_EQ(build, 11);
    EXPECT_EQ(revision, 23);
}

} // namespace
