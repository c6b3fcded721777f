// The texts of the fetch engine's string ids (result messages, HTTP status texts, internet error
// texts), kept in the folder's own resources so that a headless scan has its messages without
// the application's resources.
#pragma once

#include "platform/core/Types.h"

// The English text of a fetch engine string id, or null when the id is not one of ours.
// Callable from any thread.
LPCTSTR LookupFetchString(UINT nID);

// Makes sure CString::LoadString finds the fetch engine's texts (the resource table answers for
// every registered module; ids it lacks go on to the lookup installed before it). Safe to call
// more than once. Callable from any thread.
void InstallFetchStringTable();
