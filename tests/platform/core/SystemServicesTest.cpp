#include "platform/core/SystemServices.h"

#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <cstring>

#include <fstream>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

TEST(SystemServicesTest, ModuleFileNameIsTheExecutable)
{
    char path[PATH_MAX];
    DWORD length = GetModuleFileName(nullptr, path, sizeof path);
    ASSERT_GT(length, 0u);
    EXPECT_EQ('/', path[0]);
    struct stat a{}, b{};
    ASSERT_EQ(0, stat(path, &a));
    ASSERT_EQ(0, stat("/proc/self/exe", &b));
    EXPECT_EQ(a.st_ino, b.st_ino);
    EXPECT_EQ(GetModuleHandle(nullptr), VOSTREL_PROGRAM_INSTANCE);
    EXPECT_EQ(length, GetModuleFileName(GetModuleHandle(nullptr), path, sizeof path));

    char small[5];
    EXPECT_EQ(5u, GetModuleFileName(nullptr, small, sizeof small));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(4u, std::strlen(small));
}

TEST(SystemServicesTest, TempPathHasTrailingSlash)
{
    ScopedEnv tmp("TMPDIR", "/var/tmp");
    char buffer[64];
    EXPECT_EQ(9u, GetTempPath(sizeof buffer, buffer));
    EXPECT_STREQ("/var/tmp/", buffer);
    EXPECT_EQ(10u, GetTempPath(3, buffer)); // the size needed, with the NUL
}

TEST(SystemServicesTest, TempFileNamesAreUniquePrivateAndCreated)
{
    ScopedTempDir dir;
    std::set<std::string> names;
    for (int i = 0; i < 50; ++i) {
        char name[MAX_PATH];
        UINT number = GetTempFileName(dir.Path().c_str(), "VOSTREL", 0, name);
        ASSERT_NE(0u, number);
        std::string text = name;
        EXPECT_TRUE(names.insert(text).second);
        char expected[32];
        std::snprintf(expected, sizeof expected, "/VOS%X.tmp", number);
        EXPECT_EQ(dir.Path() + expected, text);
        struct stat st{};
        ASSERT_EQ(0, stat(name, &st));
        EXPECT_EQ(0600u, st.st_mode & 0777);
        EXPECT_EQ(0, st.st_size);
    }
    // A given number only forms the name.
    char name[MAX_PATH];
    EXPECT_EQ(0x1234u, GetTempFileName((dir.Path() + "/").c_str(), "ab", 0x1234, name));
    EXPECT_EQ(dir.Path() + "/ab1234.tmp", std::string(name));
    struct stat st{};
    EXPECT_NE(0, stat(name, &st));

    EXPECT_EQ(0u, GetTempFileName(dir.File("missing").c_str(), "VOS", 0, name));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DIRECTORY), GetLastError());
}

TEST(SystemServicesTest, ComputerNameRules)
{
    char buffer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof buffer;
    ASSERT_TRUE(GetComputerName(buffer, &size));
    EXPECT_EQ(std::strlen(buffer), size);
    EXPECT_LE(size, static_cast<DWORD>(MAX_COMPUTERNAME_LENGTH));
    for (char c : std::string(buffer))
        EXPECT_FALSE(c >= 'a' && c <= 'z');
    DWORD tooSmall = 1;
    EXPECT_FALSE(GetComputerName(buffer, &tooSmall));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BUFFER_OVERFLOW), GetLastError());
    EXPECT_EQ(size + 1, tooSmall);
}

TEST(SystemServicesTest, EnvironmentLookups)
{
    ScopedEnv var("VOSTREL_TEST_VAR", "value");
    char buffer[32];
    EXPECT_EQ(5u, GetEnvironmentVariable("VOSTREL_TEST_VAR", buffer, sizeof buffer));
    EXPECT_STREQ("value", buffer);
    EXPECT_EQ(6u, GetEnvironmentVariable("VOSTREL_TEST_VAR", buffer, 2));
    EXPECT_EQ(0u, GetEnvironmentVariable("VOSTREL_NO_SUCH_VAR", buffer, sizeof buffer));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND), GetLastError());

    EXPECT_EQ(17u, ExpandEnvironmentStrings("a%VOSTREL_TEST_VAR%b%NOPE_X%c", buffer, sizeof buffer));
    EXPECT_STREQ("avalueb%NOPE_X%c", buffer);
}

TEST(SystemServicesTest, ShellExecuteRunsTheOpenerWithoutAShell)
{
    ScopedTempDir dir;
    const std::string log = dir.File("opened.txt");
    const std::string opener = dir.File("xdg-open");
    {
        std::ofstream script(opener);
        script << "#!/bin/sh\nprintf '%s' \"$1\" > " << log << ".part && mv " << log << ".part " << log << "\n";
    }
    chmod(opener.c_str(), 0755);
    ScopedEnv path("PATH", dir.Path() + ":/usr/bin:/bin");

    const char* url = "http://example.com/a b;$(touch nope)";
    HINSTANCE result = ShellExecute(nullptr, "open", url, nullptr, nullptr, 1);
    EXPECT_GT(reinterpret_cast<intptr_t>(result), 32);
    std::string seen;
    for (int i = 0; i < 1000 && seen.empty(); ++i) {
        std::ifstream in(log);
        std::getline(in, seen);
        if (seen.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(url, seen);
    struct stat st{};
    EXPECT_NE(0, stat(dir.File("nope").c_str(), &st));

    EXPECT_EQ(SE_ERR_FNF, reinterpret_cast<intptr_t>(ShellExecute(nullptr, "open", dir.File("missing.html").c_str(), nullptr, nullptr, 1)));
    EXPECT_EQ(SE_ERR_NOASSOC, reinterpret_cast<intptr_t>(ShellExecute(nullptr, "print", url, nullptr, nullptr, 1)));
}

TEST(SystemServicesTest, LocalAllocZeroes)
{
    auto* block = static_cast<unsigned char*>(LocalAlloc(LPTR, 16));
    ASSERT_NE(nullptr, block);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(0, block[i]);
    EXPECT_EQ(nullptr, LocalFree(block));
}

TEST(SystemServicesTest, VersionExDescribesTheKernel)
{
    OSVERSIONINFO info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionEx(&info));
    EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_NT), info.dwPlatformId);
    EXPECT_GE(info.dwMajorVersion, 2u);
    info.dwOSVersionInfoSize = 4;
    EXPECT_FALSE(GetVersionEx(&info));
}
