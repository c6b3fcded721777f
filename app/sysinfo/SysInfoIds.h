// Template, control and text ids of the system information report.
#pragma once

#include "platform/core/Types.h"

inline constexpr UINT kIdsSysInfoNotFound = 63152;   // "(Not Found)"
inline constexpr UINT kIdsSysInfoNoVersion = 63153;  // "(No Version)"
inline constexpr UINT kIdsSysInfoOs = 63154;         // "OS"
inline constexpr UINT kIdsSysInfoMBytes = 63161;     // "%.2f MBytes"
inline constexpr UINT kIdsSysInfoKBytes = 63162;     // "%.2f KBytes"
inline constexpr UINT kIdsSysInfoBytes = 63163;      // "%u Bytes"
inline constexpr UINT kIdsSysInfoMemory = 63164;     // "Physical Memory"
inline constexpr UINT kIdsSysInfoPaging = 63165;     // "Paging File"
inline constexpr UINT kIdsSysInfoTotalFree = 63167;  // "%1 (%2 Free)"
inline constexpr UINT kIdsSysInfoUnknown = 63168;    // "Unknown"
inline constexpr UINT kIdsSysInfoProcessors = 63169; // "Processors"
inline constexpr UINT kIdsSysInfoComputer = 63173;   // "Computer"
inline constexpr UINT kIdsSysInfoNone = 63174;       // "(None)"
inline constexpr UINT kIdsSysInfoCodePage = 63175;   // "CodePage"
