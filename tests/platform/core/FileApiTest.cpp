#include "platform/core/FileApi.h"
#include "platform/core/CrtStrings.h"

#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(FileApiTest, ReadsWritesAndReportsErrorsByHandle)
{
    ScopedTempDir dir;
    std::string path = dir.File("f.bin");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(h, "hello", 5, &n, nullptr));
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(GetFileSize(h, nullptr), 5u);
    EXPECT_TRUE(CloseHandle(h));
    h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    char buf[8] = {};
    ASSERT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
    EXPECT_EQ(std::string(buf, n), "hello");
    ASSERT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));   // opened for reading only
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(CreateFileA(dir.File("no/such").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, CREATE_NEW, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    UINT old = SetErrorMode(SEM_FAILCRITICALERRORS);
    EXPECT_EQ(SetErrorMode(old), static_cast<UINT>(SEM_FAILCRITICALERRORS));
}

TEST(CrtStringsTest, CaseAndPathHelpers)
{
    char text[] = "MiXed \xC3\x89t\xC3\xA9 1";
    EXPECT_STREQ(_strlwr(text), "mixed \xC3\x89t\xC3\xA9 1");   // ASCII only
    EXPECT_STREQ(_strupr(text), "MIXED \xC3\x89T\xC3\xA9 1");
    EXPECT_EQ(_stricmp("Default.INI", "default.ini"), 0);
    EXPECT_LT(_stricmp("abc", "ABD"), 0);
    EXPECT_GT(_strnicmp("abcz", "ABCA", 4), 0);
    EXPECT_EQ(_strnicmp("abcz", "ABCA", 3), 0);

    char drive[_MAX_DRIVE];
    char dir[_MAX_DIR];
    char name[_MAX_FNAME];
    char ext[_MAX_EXT];
    _splitpath("/opt/vostrel/bin/vostrel.bin", drive, dir, name, ext);
    EXPECT_STREQ(drive, "");
    EXPECT_STREQ(dir, "/opt/vostrel/bin/");
    EXPECT_STREQ(name, "vostrel");
    EXPECT_STREQ(ext, ".bin");
    _splitpath("Default.ini", nullptr, dir, name, nullptr);
    EXPECT_STREQ(dir, "");
    EXPECT_STREQ(name, "Default");
    char path[_MAX_PATH];
    _makepath(path, "C:", "/opt/vostrel", "Default", "ini");
    EXPECT_STREQ(path, "/opt/vostrel/Default.ini");
    _makepath(path, nullptr, "", "Default.ini", nullptr);
    EXPECT_STREQ(path, "Default.ini");
    std::string longName(_MAX_PATH + 100, 'n');
    _makepath(path, nullptr, "/d/", longName.c_str(), ".x");
    EXPECT_EQ(std::strlen(path), static_cast<size_t>(_MAX_PATH - 1));
}

} // namespace
