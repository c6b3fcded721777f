// Ids of the texts the progress and project dialogs show.
#pragma once

#include "platform/core/Types.h"

inline constexpr UINT kIdsNoProjectDir = 62001;       // "You must specify a project directory!"
inline constexpr UINT kIdsBadProjectDir = 62003;      // "The specified project directory is invalid!"
inline constexpr UINT kIdsProjectDirMissing = 62570;    // why, after it: the folder named
inline constexpr UINT kIdsProjectDirNotFolder = 62571;  // the path named
inline constexpr UINT kIdsProjectDirUnreadable = 62572; // the folder and the system's reason
inline constexpr UINT kIdsProjectDirIsAddress = 62573;  // the address typed
inline constexpr UINT kIdsNoPagesFound = 62574;         // the folder and the extensions
inline constexpr UINT kIdsExtensionsLater = 62575;
inline constexpr UINT kIdsEnumCannotStart = 62540;
inline constexpr UINT kIdsEnumFailed = 62541;        // with the reason
inline constexpr UINT kIdsFoldersSkipped = 62550;    // with the list of folders left out
inline constexpr UINT kIdsMoreFoldersSkipped = 62551; // the count past the list
inline constexpr UINT kIdsSaveCannotStart = 62542;
inline constexpr UINT kIdsSaveCount = 62543;          // the save's closing line
inline constexpr UINT kIdsSaveCountStopped = 62544;   // the same, after Cancel
inline constexpr UINT kIdsSaveCountUnchanged = 62545; // the two, counting pages that held their edits
inline constexpr UINT kIdsSaveCountStoppedUnchanged = 62546;
