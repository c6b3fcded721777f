// Ids of the texts and images the Project Area and the Output Area show.
#pragma once

#include "platform/core/Types.h"

inline constexpr UINT kIdsAllFiles = 63150;          // "All files"
inline constexpr UINT kIdsUntitled = 63151;          // "(Untitled)"
inline constexpr UINT kIdsFilesInFolder = 62501;     // "Files in '%s'"
inline constexpr UINT kIdsAssortedFiles = 63006;     // "Assorted Files"
inline constexpr UINT kIdsNewProjectItem = 63014;    // "New Project..."
inline constexpr UINT kIdsScanFilesItem = 63016;     // "Scan Files"
inline constexpr UINT kIdsWarningTab = 63031;        // "Warning / Error Msgs"

inline constexpr UINT kIdbTreeRoot = 130;
inline constexpr UINT kIdbTreeFile = 131;
inline constexpr UINT kIdbTreeFolder = 132;
inline constexpr UINT kIdbTreeOpenFolder = 157;
