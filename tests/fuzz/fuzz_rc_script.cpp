// Feeds arbitrary bytes to the resource compiler as a script: it compiles or reports an error
// with a place, and never crashes or hangs; what it compiles is valid for the readers.
#include "platform/core/ResourceFormats.h"
#include "platform/rc/RcCompiler.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::string& ScriptPath()
{
    static const std::string s_path = "/tmp/vostrel-fuzz-rc-" + std::to_string(getpid()) + ".rc";
    return s_path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        std::ofstream out(ScriptPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        const rc::CompileResult result = rc::CompileResourceScript(ScriptPath(), {});
        for (const rc::CompiledResource& r : result.resources) {
            if (!r.type.isId)
                continue;
            if (r.type.id == 5) {
                DialogTemplate dialog;
                if (!ReadDialogTemplate(r.data.data(), r.data.size(), dialog))
                    std::abort();
            } else if (r.type.id == 4) {
                MenuTemplate menu;
                if (!ReadMenuTemplate(r.data.data(), r.data.size(), menu))
                    std::abort();
            }
        }
        rc::GenerateResourceSource(result, "fuzz");
    } catch (const rc::RcError& error) {
        if (error.Message().empty())
            std::abort();
    }
    return 0;
}
