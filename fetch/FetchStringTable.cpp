#include "fetch/FetchStringTable.h"

#include "platform/core/ResourceTable.h"

// The texts are the string table of the folder's resource script (res/fetch.rc), registered as
// the module "fetch" when the program starts. The build keeps the table's object in every
// program that links this folder by naming this symbol to the linker; naming it here as well
// keeps it even where a program is linked by hand.
extern "C" const int vostrel_resources_fetch_anchor;

LPCTSTR LookupFetchString(UINT nID)
{
    const HMODULE hModule = FindResourceModule("fetch");
    LPCSTR pszText = nullptr;
    if (hModule == nullptr || LoadString(hModule, nID, reinterpret_cast<LPSTR>(&pszText), 0) == 0)
        return nullptr;
    return pszText;
}

void InstallFetchStringTable()
{
    // CString::LoadString searches every registered module, this one included, so nothing is
    // left to install; the reference keeps the table linked.
    static_cast<void>(vostrel_resources_fetch_anchor);
}
