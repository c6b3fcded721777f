// Sets the process time zone for one test and restores the previous one afterwards.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

class TzGuard {
public:
    explicit TzGuard(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TzGuard()
    {
        if (m_old)
            setenv("TZ", m_old->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    TzGuard(const TzGuard&) = delete;
    TzGuard& operator=(const TzGuard&) = delete;

private:
    std::optional<std::string> m_old;
};

// Eastern time with the rules of 2007 onwards, spelled out so that no zone database is needed.
inline constexpr const char* kEasternZone = "EST5EDT,M3.2.0,M11.1.0";
