// Feeds arbitrary bytes to every resource reader: none may read past the block, and whatever a
// reader accepts must write back into a block that reads the same again.
#include "platform/core/ResourceFormats.h"
#include "platform/core/VersionInfo.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool SameItems(const std::vector<MenuTemplateItem>& a, const std::vector<MenuTemplateItem>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].text != b[i].text || a[i].id != b[i].id || a[i].popup != b[i].popup || a[i].type != b[i].type
            || a[i].state != b[i].state || !SameItems(a[i].children, b[i].children))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly the input's size, so that reading past it is caught.
    std::vector<BYTE> block(data, data + size);

    DialogTemplate dialog;
    if (ReadDialogTemplate(block.data(), block.size(), dialog)) {
        const std::vector<BYTE> written = WriteDialogTemplate(dialog);
        DialogTemplate again;
        Check(ReadDialogTemplate(written.data(), written.size(), again));
        Check(again.items.size() == dialog.items.size() && again.title == dialog.title);
        for (size_t i = 0; i < dialog.items.size(); ++i)
            Check(again.items[i].id == dialog.items[i].id
                  && again.items[i].title.text == dialog.items[i].title.text
                  && again.items[i].creationData == dialog.items[i].creationData);
    }
    MenuTemplate menu;
    if (ReadMenuTemplate(block.data(), block.size(), menu) && !menu.items.empty()) {
        const std::vector<BYTE> written = WriteMenuTemplate(menu);
        MenuTemplate again;
        Check(ReadMenuTemplate(written.data(), written.size(), again));
        Check(SameItems(menu.items, again.items));
    }
    std::vector<std::string> strings;
    if (ReadStringBlock(block.data(), block.size(), strings))
        for (UINT i = 0; i < 16; ++i) {
            int length = -1;
            LPCSTR text = FindStringInBlock(block.data(), block.size(), i, &length);
            Check(text != nullptr && static_cast<size_t>(length) == strings[i].size());
        }
    std::vector<AcceleratorEntry> accels;
    ReadAcceleratorTable(block.data(), block.size(), accels);
    ToolBarTemplate toolbar;
    ReadToolBarTemplate(block.data(), block.size(), toolbar);
    std::vector<DialogInitEntry> init;
    ReadDialogInit(block.data(), block.size(), init);
    POINT hot;
    std::span<const BYTE> png;
    if (ReadCursorResource(block.data(), block.size(), hot, png))
        Check(png.size() + 4 == block.size());
    ModuleVersion version;
    if (ParseVersionBlock(block.data(), block.size(), version)) {
        const std::string rebuilt = BuildVersionBlock(version);
        ModuleVersion again;
        Check(ParseVersionBlock(rebuilt.data(), rebuilt.size(), again) && again.strings == version.strings);
    }
    return 0;
}
