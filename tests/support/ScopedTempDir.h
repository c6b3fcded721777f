// A fresh temporary folder for one test, removed with everything in it at the end, and
// environment variables set for a test's duration.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

class ScopedTempDir {
public:
    ScopedTempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vostrel-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~ScopedTempDir()
    {
        if (m_path.empty())
            return;
        std::error_code ec;
        // A file dialog leaves the working folder where a file was chosen: one inside this folder
        // must not outlive it, or every program started later fails to find where it is.
        const std::string cwd = std::filesystem::current_path(ec).string();
        if (!ec && (cwd == m_path || cwd.rfind(m_path + "/", 0) == 0))
            std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
        // Read-only entries made by a test must not keep the folder alive.
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    // The folder itself; empty when it could not be made.
    const std::string& Path() const { return m_path; }
    // An entry of the folder.
    std::string File(const std::string& name) const { return m_path + "/" + name; }

    void WriteFile(const std::string& name, const std::string& content) const
    {
        std::ofstream(File(name), std::ios::binary) << content;
    }
    std::string ReadFile(const std::string& name) const
    {
        std::ifstream in(File(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string m_path;
};

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};
