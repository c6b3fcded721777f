// The texts of the fetch engine's string ids (result messages, HTTP status texts, internet error
// texts), kept beside the engine so that a headless scan has its messages without the
// application's resources.
#pragma once

#include "platform/core/Types.h"

// The English text of a fetch engine string id, or null when the id is not one of ours.
// Callable from any thread.
LPCTSTR LookupFetchString(UINT nID);

// Makes CString::LoadString find the fetch engine's texts. The lookup installed before keeps
// answering every other id. Safe to call more than once. Callable from any thread.
void InstallFetchStringTable();
