// What a test needs of the machine it runs on (a program on the PATH, a display that starts, a
// right of the system) and what becomes of the test when the machine lacks it. Outside CI the
// test is skipped; with CI set, as CI runs set it, the test fails instead: a run that left a
// layer untested must not pass. Either way the message begins "missing: " and names what was
// missing. Cases that can only run on some dates skip with a message that begins
// "calendar date: ". scripts/test counts both kinds apart and fails on the first.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

namespace required_tools {

// Whether this is a CI run: CI set to anything but nothing, "0" or "false".
inline bool InCi()
{
    const char* ci = std::getenv("CI");
    return ci != nullptr && *ci != '\0' && std::strcmp(ci, "0") != 0 && std::strcmp(ci, "false") != 0;
}

// Whether an executable program of that name is on the PATH.
inline bool OnPath(const char* name)
{
    const char* path = std::getenv("PATH");
    const std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// The programs of the list that are not on the PATH, as "a, b (not on the PATH)"; "" when all are.
inline std::string NotOnPath(const std::vector<const char*>& names)
{
    std::string missing;
    for (const char* name : names)
        if (!OnPath(name))
            missing += (missing.empty() ? "" : ", ") + std::string(name);
    return missing.empty() ? missing : missing + " (not on the PATH)";
}

}   // namespace required_tools

// Skips the test, or fails it in a CI run, when `missing` (an expression giving a string) names
// something; nothing happens when it is empty. For test bodies and SetUp.
#define VOSTREL_REQUIRE(missing)                                                                 \
    switch (0)                                                                                   \
    case 0:                                                                                      \
    default:                                                                                     \
        if (const std::string vostrel_missing_ = (missing); vostrel_missing_.empty()) {          \
        } else if (::required_tools::InCi()) {                                                   \
            GTEST_FAIL() << "missing: " << vostrel_missing_ << " (a CI run must have it)";       \
        } else                                                                                   \
            GTEST_SKIP() << "missing: " << vostrel_missing_

// Skips a case that cannot run on today's date; the reason follows with <<.
#define VOSTREL_SKIP_FOR_DATE() GTEST_SKIP() << "calendar date: "
