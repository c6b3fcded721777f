// Feeds arbitrary text to COleDateTime::ParseDateTime: it reads a valid date or fails with the
// status invalid and the value 0; a date it reads formats to text that reads back to the same day.
#include "platform/core/COleDateTime.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 10)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (DWORD dwFlags : {DWORD{0}, DWORD{VAR_DATEVALUEONLY}, DWORD{VAR_TIMEVALUEONLY}}) {
        COleDateTime date;
        if (!date.ParseDateTime(text.c_str(), dwFlags)) {
            if (date.GetStatus() != COleDateTime::invalid || static_cast<DATE>(date) != 0.0)
                std::abort();
            continue;
        }
        if (date.GetStatus() != COleDateTime::valid)
            std::abort();
        COleDateTime again;
        if (!again.ParseDateTime(date.Format(), 0))
            std::abort(); // what the class writes, it reads
        if (again.GetYear() != date.GetYear() || again.GetMonth() != date.GetMonth() || again.GetDay() != date.GetDay())
            std::abort();
    }
    return 0;
}
