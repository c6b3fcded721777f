// A page node of a file as the scan leaves a page it read: its name, its folder and the file's
// state as it is now.
#pragma once

#include "engine/project/CPageNode.h"

#include <filesystem>
#include <sys/stat.h>

// A new page node of the file, read; the caller owns it.
inline CPageNode* NewReadPage(const std::filesystem::path& page)
{
    auto* pPage = new CPageNode;
    pPage->SetKind(CPageNode::kindPage);
    pPage->SetScanState(0);
    pPage->SetName(page.filename().c_str());
    pPage->SetFolder(page.parent_path().c_str());
    struct stat info {};
    ::stat(page.c_str(), &info);
    pPage->SetReadFile(info);
    return pPage;
}
