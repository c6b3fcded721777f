// Feeds arbitrary bytes to the settings file reader: whatever they hold, reading ends with the
// whole catalogue read or with an archive error and the catalogue unchanged.
#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CException.h"
#include "platform/core/CMemFile.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 20)
        return 0;
    static CVostrelAppModel model;
    static const bool installed = (model.Install(), true);
    (void)installed;

    CMetaSettingList list;
    list.AddTail(new CMetaEditSetting);
    list.GetHead()->SetName("kept");

    std::vector<uint8_t> buffer(data, data + size);
    CMemFile file(buffer.data(), static_cast<UINT>(buffer.size()));
    try {
        CArchive ar(&file, CArchive::load);
        list.Serialize(ar);
    } catch (CArchiveException* e) {
        e->Delete();
        // A refused file must leave the list as it was.
        if (list.GetCount() != 1 || list.GetHead()->Name() != "kept")
            std::abort();
        return 0;
    } catch (CMemoryException* e) {
        e->Delete();
        return 0;
    }

    // What was read writes back and reads again to an equal catalogue.
    CMemFile out;
    {
        CArchive ar(&out, CArchive::store);
        list.Serialize(ar);
        ar.Close();
    }
    out.SeekToBegin();
    CMetaSettingList again;
    CArchive ar(&out, CArchive::load);
    again.Serialize(ar);
    if (!again.IsEqual(list))
        std::abort();
    return 0;
}
