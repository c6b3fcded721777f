#include "platform/core/Registry.h"
#include "platform/core/RegistryStore.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/MimeTypes.h"

#include "support/ScopedTempDir.h"
#include "support/WithoutFileOverride.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <thread>

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { CRegistryStore::Instance().Reload(); }
    void TearDown() override { CRegistryStore::Instance().Reload(); }

    std::string RegFile() const { return m_dir.File("vostrel/registry.txt"); }

    ScopedTempDir m_dir;
    ScopedEnv m_env{"XDG_CONFIG_HOME", m_dir.Path()};
};

HKEY Create(HKEY parent, const char* path)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyEx(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_READ | KEY_WRITE, nullptr, &key, &disposition));
    return key;
}

void SetDword(HKEY key, const char* name, DWORD value)
{
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4));
}

void SetString(HKEY key, const char* name, const char* text, DWORD type = REG_SZ)
{
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(key, name, 0, type, reinterpret_cast<const BYTE*>(text),
                                           static_cast<DWORD>(std::strlen(text) + 1)));
}

std::string QueryString(HKEY key, const char* name, DWORD* typeOut = nullptr)
{
    char buffer[512] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return "<missing>";
    if (typeOut)
        *typeOut = type;
    return std::string(buffer);
}

} // namespace

TEST_F(RegistryTest, TypedValuesSurviveAReload)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Wexmoor\\Vostrel\\1.0 Release Candidate 16\\Vostrel\\ConnectOptions");
    SetDword(key, "NumThreads", 10);
    SetString(key, "ProxyHttp", "proxy \"quoted\" %20 = [x], \\back\n");
    SetString(key, "Path", "%HOME%/bin", REG_EXPAND_SZ);
    const BYTE multi[] = "one\0two\0\0";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(key, "List", 0, REG_MULTI_SZ, multi, sizeof multi - 1));
    const BYTE blob[] = {0, 1, 2, 0xFF, '\n'};
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(key, "Blob", 0, REG_BINARY, blob, sizeof blob));
    const BYTE qword[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(key, "Q", 0, REG_QWORD, qword, 8));
    ASSERT_EQ(ERROR_SUCCESS, RegCloseKey(key));

    struct stat st{};
    ASSERT_EQ(0, stat(RegFile().c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);

    CRegistryStore::Instance().Reload();
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_CURRENT_USER,
                                          "SOFTWARE\\wexmoor\\Vostrel\\1.0 Release Candidate 16\\Vostrel\\ConnectOptions",
                                          0, KEY_READ, &key));
    DWORD type = 0, value = 0, size = sizeof value;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(key, "numthreads", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(REG_DWORD, type);
    EXPECT_EQ(10u, value);
    EXPECT_EQ(4u, size);
    EXPECT_EQ("proxy \"quoted\" %20 = [x], \\back\n", QueryString(key, "ProxyHttp", &type));
    EXPECT_EQ(REG_SZ, type);
    EXPECT_EQ("%HOME%/bin", QueryString(key, "Path", &type));
    EXPECT_EQ(REG_EXPAND_SZ, type);

    BYTE buffer[32];
    size = sizeof buffer;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(key, "List", nullptr, &type, buffer, &size));
    EXPECT_EQ(REG_MULTI_SZ, type);
    EXPECT_EQ(std::string("one\0two\0\0", 9), std::string(reinterpret_cast<char*>(buffer), size));
    size = sizeof buffer;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(key, "Blob", nullptr, &type, buffer, &size));
    EXPECT_EQ(REG_BINARY, type);
    EXPECT_EQ(0, std::memcmp(blob, buffer, sizeof blob));
    EXPECT_EQ(sizeof blob, size);
    size = sizeof buffer;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(key, "Q", nullptr, &type, buffer, &size));
    EXPECT_EQ(REG_QWORD, type);
    EXPECT_EQ(0, std::memcmp(qword, buffer, 8));

    // The key keeps the case it was created with.
    HKEY parent = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_CURRENT_USER, "software\\WEXMOOR", 0, KEY_READ, &parent));
    char name[64];
    DWORD count = sizeof name;
    ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyEx(parent, 0, name, &count, nullptr, nullptr, nullptr, nullptr));
    EXPECT_STREQ("Vostrel", name);
    EXPECT_EQ(7u, count);
    RegCloseKey(parent);
    RegCloseKey(key);
}

TEST_F(RegistryTest, QuerySizesAndShortBuffers)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Test");
    SetString(key, "Name", "hello");
    DWORD size = 0, type = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(key, "Name", nullptr, &type, nullptr, &size));
    EXPECT_EQ(6u, size); // the terminating NUL counts
    EXPECT_EQ(REG_SZ, type);

    char small[5];
    size = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueEx(key, "Name", nullptr, &type, reinterpret_cast<BYTE*>(small), &size));
    EXPECT_EQ(6u, size);

    // A string set without its NUL still reads back terminated.
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(key, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3));
    EXPECT_EQ("abc", QueryString(key, "Bare"));

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueEx(key, "Missing", nullptr, &type, nullptr, &size));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueEx(key, "Name", nullptr, &type, reinterpret_cast<BYTE*>(small), nullptr));
    // A DWORD must be 4 bytes.
    DWORD v = 1;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegSetValueEx(key, "D", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 2));
    RegCloseKey(key);
}

TEST_F(RegistryTest, DwordReadOfAStringReportsTheStringType)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Test");
    SetString(key, "MaxConnectionsPerServer", "8");
    DWORD type = 0, value = 0, size = sizeof value;
    LONG rc = RegQueryValueEx(key, "MaxConnectionsPerServer", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    // Either the call fails or the caller's type check does; the value is never taken as a number.
    EXPECT_EQ(REG_SZ, type);
    EXPECT_TRUE(rc != ERROR_SUCCESS || type != REG_DWORD);
    RegCloseKey(key);
}

TEST_F(RegistryTest, CreateDispositionAndOpenMissing)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\A\\B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition));
    EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_CURRENT_USER, "software\\a\\b", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition));
    EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
    RegCloseKey(key);

    key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\A\\C", 0, KEY_READ, &key));
    EXPECT_EQ(nullptr, key);
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegOpenKeyEx(HKEY_CURRENT_USER, "\\Software", 0, KEY_READ, &key));
    // A lone backslash is no path either, though a trailing one is allowed.
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegOpenKeyEx(HKEY_CURRENT_USER, "\\", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegCreateKeyEx(HKEY_CURRENT_USER, "\\", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegDeleteKey(HKEY_CURRENT_USER, "\\"));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(reinterpret_cast<HKEY>(0x12345)));
}

TEST_F(RegistryTest, ReadOnlyHandleRefusesWrites)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\RO"));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\RO", 0, KEY_READ, &key));
    DWORD v = 1;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueEx(key, "x", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4));
    RegCloseKey(key);
}

TEST_F(RegistryTest, DeletionRules)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Del\\Child");
    SetDword(key, "v", 1);
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValue(key, "V"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValue(key, "v"));

    // A key with subkeys cannot be deleted.
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKey(HKEY_CURRENT_USER, "Software\\Del"));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKey(HKEY_CURRENT_USER, "Software\\Del\\Child"));
    // The handle to the deleted key is dead.
    DWORD v = 1;
    EXPECT_EQ(ERROR_KEY_DELETED, RegSetValueEx(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4));
    RegCloseKey(key);
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKey(HKEY_CURRENT_USER, "Software\\Del"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKey(HKEY_CURRENT_USER, "Software\\Del"));

    CRegistryStore::Instance().Reload();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Del", 0, KEY_READ, &key));
}

TEST_F(RegistryTest, EnumerationOrder)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Enum");
    RegCloseKey(Create(key, "beta"));
    RegCloseKey(Create(key, "Alpha"));
    RegCloseKey(Create(key, "gamma"));
    SetDword(key, "z", 1);
    SetDword(key, "a", 2);
    SetDword(key, "z", 3); // setting again keeps the place

    std::vector<std::string> keys;
    char name[64];
    for (DWORD i = 0;; ++i) {
        DWORD count = sizeof name;
        LONG rc = RegEnumKeyEx(key, i, name, &count, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(ERROR_SUCCESS, rc);
        keys.push_back(name);
    }
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "gamma"}), keys);

    DWORD count = 3; // too small for "Alpha" and its NUL
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyEx(key, 0, name, &count, nullptr, nullptr, nullptr, nullptr));

    std::vector<std::pair<std::string, DWORD>> values;
    for (DWORD i = 0;; ++i) {
        DWORD nameCount = sizeof name, type = 0, data = 0, size = sizeof data;
        LONG rc = RegEnumValue(key, i, name, &nameCount, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(ERROR_SUCCESS, rc);
        values.emplace_back(name, data);
    }
    EXPECT_EQ((std::vector<std::pair<std::string, DWORD>>{{"z", 3}, {"a", 2}}), values);

    DWORD subkeys = 0, valueCount = 0, maxName = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKey(key, nullptr, nullptr, nullptr, &subkeys, &maxName, nullptr, &valueCount, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(3u, subkeys);
    EXPECT_EQ(5u, maxName);
    EXPECT_EQ(2u, valueCount);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DamagedFileIsSetAsideAndDefaultsUsed)
{
    mkdir(m_dir.File("vostrel").c_str(), 0700);
    {
        std::ofstream out(RegFile());
        out << "VOSTREL-REGISTRY 1\n[HKEY_CURRENT_USER\\Software]\n\"x\"=dword:zz\n";
    }
    testing::internal::CaptureStderr();
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key));
    std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, warning.find("damaged"));

    struct stat st{};
    EXPECT_EQ(0, stat((RegFile() + ".damaged").c_str(), &st));
    EXPECT_NE(0, stat(RegFile().c_str(), &st));
    // The program is told once, with the copy kept aside and what was wrong.
    const CRegistryLoadProblem problem = CRegistryStore::Instance().TakeLoadProblem();
    EXPECT_EQ(problem.kind, CRegistryLoadProblem::Kind::SetAside);
    EXPECT_EQ(problem.path, RegFile());
    EXPECT_EQ(problem.aside, RegFile() + ".damaged");
    EXPECT_EQ(problem.reason, "bad value line on line 3");
    EXPECT_EQ(CRegistryStore::Instance().TakeLoadProblem().kind, CRegistryLoadProblem::Kind::None);

    // The store works on and writes a fresh file.
    key = Create(HKEY_CURRENT_USER, "Software\\After");
    SetDword(key, "ok", 1);
    RegCloseKey(key);
    std::string text;
    ASSERT_EQ(0, ReadWholeFile(RegFile(), text));
    EXPECT_NE(std::string::npos, text.find("\"ok\"=dword:00000001"));

    // Damaged again later: the first copy stays as it was, the new one goes beside it.
    std::ofstream(RegFile()) << "second damage\n";
    CRegistryStore::Instance().Reload();
    testing::internal::CaptureStderr();
    const CRegistryLoadProblem again = CRegistryStore::Instance().TakeLoadProblem();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(again.kind, CRegistryLoadProblem::Kind::SetAside);
    EXPECT_EQ(again.aside, RegFile() + ".damaged.2");
    ASSERT_EQ(0, ReadWholeFile(RegFile() + ".damaged", text));
    EXPECT_NE(std::string::npos, text.find("dword:zz"));
    ASSERT_EQ(0, ReadWholeFile(RegFile() + ".damaged.2", text));
    EXPECT_EQ(text, "second damage\n");
}

// A damaged file that cannot be set aside, and a file that cannot be read, are told to the
// program too; a good file and none at all are nothing to tell.
TEST_F(RegistryTest, WhatReadingTheFileMetIsToldOnce)
{
    EXPECT_EQ(CRegistryStore::Instance().TakeLoadProblem().kind, CRegistryLoadProblem::Kind::None) << "no file";
    const std::string folder = m_dir.File("vostrel");
    mkdir(folder.c_str(), 0700);
    std::ofstream(RegFile()) << "VOSTREL-REGISTRY 1\n[HKEY_CURRENT_USER\\Software]\n";
    CRegistryStore::Instance().Reload();
    EXPECT_EQ(CRegistryStore::Instance().TakeLoadProblem().kind, CRegistryLoadProblem::Kind::None) << "a good file";

    std::ofstream(RegFile()) << "not a registry\n";
    CRegistryStore::Instance().Reload();
    ASSERT_EQ(0, chmod(folder.c_str(), 0500));
    CRegistryLoadProblem problem;
    {
        WithoutFileOverride plainUser;
        ASSERT_TRUE(plainUser.Holds());
        testing::internal::CaptureStderr();
        problem = CRegistryStore::Instance().TakeLoadProblem();
        testing::internal::GetCapturedStderr();
    }
    EXPECT_EQ(problem.kind, CRegistryLoadProblem::Kind::NotSetAside);
    EXPECT_EQ(problem.reason, "not a registry file");
    EXPECT_EQ(problem.renameError, std::strerror(EACCES));

    ASSERT_EQ(0, chmod(folder.c_str(), 0700));
    ASSERT_EQ(0, chmod(RegFile().c_str(), 0));
    CRegistryStore::Instance().Reload();
    {
        WithoutFileOverride plainUser;
        testing::internal::CaptureStderr();
        problem = CRegistryStore::Instance().TakeLoadProblem();
        testing::internal::GetCapturedStderr();
    }
    EXPECT_EQ(problem.kind, CRegistryLoadProblem::Kind::Unreadable);
    EXPECT_EQ(problem.path, RegFile());
    EXPECT_EQ(problem.reason, std::strerror(EACCES));
}

TEST_F(RegistryTest, FileFormatIsReadable)
{
    mkdir(m_dir.File("vostrel").c_str(), 0700);
    {
        std::ofstream out(RegFile());
        out << "VOSTREL-REGISTRY 1\n# comment\n\n"
               "[HKEY_CURRENT_USER\\Software\\My%5DApp]\n"
               "\"Warn After Scan\"=dword:00000001\n"
               "\"Title\"=sz:\"a%22b\"\n"
               "\"List\"=multi_sz:\"x\",\"y%2Cz\"\n"
               "\"Empty\"=multi_sz:\n";
    }
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\My]App", 0, KEY_READ, &key));
    EXPECT_EQ("a\"b", QueryString(key, "Title"));
    BYTE buffer[16];
    DWORD size = sizeof buffer, type = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(key, "List", nullptr, &type, buffer, &size));
    EXPECT_EQ(std::string("x\0y,z\0\0", 7), std::string(reinterpret_cast<char*>(buffer), size));
    size = sizeof buffer;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(key, "Empty", nullptr, &type, buffer, &size));
    EXPECT_EQ(1u, size);
    RegCloseKey(key);
}

TEST_F(RegistryTest, ExistingFileModeIsKept)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Mode");
    RegCloseKey(key);
    ASSERT_EQ(0, chmod(RegFile().c_str(), 0640));
    key = Create(HKEY_CURRENT_USER, "Software\\Mode2");
    RegCloseKey(key);
    struct stat st{};
    ASSERT_EQ(0, stat(RegFile().c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 0777);
}

TEST_F(RegistryTest, MachineKeysAreReadOnlyAndInternetSettingsAbsent)
{
    const char* path = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyEx(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, &key));
    // Reading did not create the path.
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Microsoft", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\X", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
}

TEST_F(RegistryTest, ContentTypeOfAnExtension)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_CLASSES_ROOT, ".HTML", 0, KEY_READ, &key));
    char buffer[256];
    DWORD size = sizeof buffer, type = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(key, "Content Type", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size));
    EXPECT_EQ(REG_SZ, type);
    EXPECT_STREQ("text/html", buffer);
    DWORD v = 1;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueEx(key, "x", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4));
    RegCloseKey(key);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyEx(HKEY_CLASSES_ROOT, ".no-such-extension", 0, KEY_READ, &key));
}

TEST(MimeTypesTest, ParsesTypesCommentsAndFirstWins)
{
    MimeTypeTable table = ParseMimeTypes("# c\ntext/html html HTM\napplication/x-other html\n"
                                         "image/png\tpng # trailing\n\nnoext\n");
    EXPECT_EQ("text/html", table["html"]);
    EXPECT_EQ("text/html", table["htm"]);
    EXPECT_EQ("image/png", table["png"]);
    EXPECT_EQ(3u, table.size());
    MimeTypeTable fallback = LoadMimeTypes("/nonexistent/mime.types");
    EXPECT_EQ("text/plain", fallback["txt"]);
    EXPECT_EQ("image/jpeg", fallback["jpg"]);
}

TEST_F(RegistryTest, ConcurrentWritersKeepEveryValue)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 25; ++i) {
                HKEY key = nullptr;
                std::string path = "Software\\T" + std::to_string(t);
                if (RegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
                    return;
                DWORD v = static_cast<DWORD>(i);
                std::string name = "v" + std::to_string(i);
                RegSetValueEx(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4);
                RegCloseKey(key);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    CRegistryStore::Instance().Reload();
    for (int t = 0; t < 4; ++t) {
        HKEY key = nullptr;
        std::string path = "Software\\T" + std::to_string(t);
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key));
        DWORD values = 0;
        RegQueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(25u, values);
        RegCloseKey(key);
    }
}

namespace {

// The values of the one key below the root, after the text was read.
std::vector<CRegValue> ValuesRead(const std::string& text)
{
    CRegKeyNode root;
    root.name = "HKEY_CURRENT_USER";
    std::string error;
    EXPECT_TRUE(CRegistryStore::Parse(text, root, error)) << error;
    if (root.subkeys.size() != 1)
        return {};
    return root.subkeys.begin()->second->values;
}

} // namespace

TEST_F(RegistryTest, StringsGivenAsRawBytesAreWrittenBackInAFormTheReaderTakes)
{
    const std::string text = "VOSTREL-REGISTRY 1\n[HKEY_CURRENT_USER\\S%5CT]\n" // a "\\" in a key name
                             "\"Embedded\"=hex(1):61006200\n"    // "a", NUL, "b", NUL
                             "\"Unended\"=hex(2):6162\n"         // no terminator at all
                             "\"Empty\"=hex(1):\n"
                             "\"List\"=hex(7):610000620000\n"    // "a", an empty item, "b"
                             "\"Short\"=hex(4):0102\n";          // a DWORD of two bytes stays raw
    const std::vector<CRegValue> first = ValuesRead(text);
    ASSERT_EQ(first.size(), 5u);
    EXPECT_EQ(first[0].data, std::string("a\0", 2));
    EXPECT_EQ(first[1].data, std::string("ab\0", 3));
    EXPECT_EQ(first[2].data, std::string("\0", 1));
    EXPECT_EQ(first[3].data, std::string("a\0\0", 3));
    EXPECT_EQ(first[4].data, std::string("\x01\x02", 2));

    CRegKeyNode root;
    root.name = "HKEY_CURRENT_USER";
    std::string error;
    ASSERT_TRUE(CRegistryStore::Parse(text, root, error));
    const std::string written = CRegistryStore::Serialize(root);
    const std::vector<CRegValue> second = ValuesRead(written);
    ASSERT_EQ(second.size(), first.size()) << written;
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(second[i].type, first[i].type);
        EXPECT_EQ(second[i].data, first[i].data) << first[i].name;
    }
}

TEST_F(RegistryTest, KeyDepthIsBoundedAndDeepTreesAreWrittenWithoutRecursion)
{
    auto fileOfDepth = [](size_t nDepth) {
        std::string text = "VOSTREL-REGISTRY 1\n[HKEY_CURRENT_USER";
        for (size_t i = 0; i < nDepth; ++i)
            text += "\\k";
        return text + "]\n\"v\"=dword:00000001\n";
    };
    // The deepest key allowed reads, writes and reads back, and its file stays small.
    CRegKeyNode root;
    root.name = "HKEY_CURRENT_USER";
    std::string error;
    ASSERT_TRUE(CRegistryStore::Parse(fileOfDepth(CRegistryStore::kMaxKeyDepth), root, error)) << error;
    const std::string written = CRegistryStore::Serialize(root);
    CRegKeyNode again;
    again.name = root.name;
    EXPECT_TRUE(CRegistryStore::Parse(written, again, error)) << error;
    EXPECT_LT(written.size(), 600u * 1100u);

    // Deeper is damage, found at once, whatever the depth.
    CRegKeyNode deep;
    deep.name = root.name;
    EXPECT_FALSE(CRegistryStore::Parse(fileOfDepth(CRegistryStore::kMaxKeyDepth + 1), deep, error));
    EXPECT_NE(error.find("nested too deeply"), std::string::npos);
    CRegKeyNode deepest;
    deepest.name = root.name;
    EXPECT_FALSE(CRegistryStore::Parse(fileOfDepth(100000), deepest, error));

    // Nor can a program make a key the file could not read back.
    std::string path = "Software";
    for (size_t i = 1; i < CRegistryStore::kMaxKeyDepth; ++i)
        path += "\\k";
    HKEY key = Create(HKEY_CURRENT_USER, path.c_str());
    RegCloseKey(key);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyEx(HKEY_CURRENT_USER, (path + "\\one more").c_str(), 0, nullptr,
                                                      REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr));
}

TEST_F(RegistryTest, AWriteBatchReachesTheFileOnceWhenItsLastLevelEnds)
{
    auto fileHas = [this](const char* text) {
        std::ifstream in(RegFile());
        std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return all.find(text) != std::string::npos;
    };
    {
        CRegistryWriteBatch outer;
        {
            CRegistryWriteBatch inner;
            HKEY key = Create(HKEY_CURRENT_USER, "Software\\Batch");
            SetDword(key, "First", 1);
            RegCloseKey(key); // would write the file outside a batch
        }
        EXPECT_FALSE(fileHas("First")) << "an inner batch's end leaves the writing to the outer one";
        HKEY key = Create(HKEY_CURRENT_USER, "Software\\Batch");
        SetDword(key, "Second", 2);
        EXPECT_EQ(ERROR_SUCCESS, RegFlushKey(key));
        EXPECT_TRUE(fileHas("Second")) << "an explicit flush writes even inside a batch";
        SetDword(key, "Third", 3);
        RegCloseKey(key);
        EXPECT_FALSE(fileHas("Third"));
    }
    EXPECT_TRUE(fileHas("Third"));
    CRegistryStore::Instance().Reload();
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Batch", 0, KEY_READ, &key));
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueEx(key, "First", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(1u, value);
    RegCloseKey(key);
}
