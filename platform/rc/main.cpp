// The resource compiler's command line, run by the build:
//   vostrel_rc [-I dir]... [-D name[=value]]... --module name -o out.cpp [--depfile out.d] script.rc
// On an error it prints "file:line: error: message", removes the output and exits with 1, so
// the build stops and never links a stale table.
#include "platform/rc/RcCompiler.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>

namespace {

std::string DepfileEscape(const std::string& path)
{
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\')
            out += '\\';
        if (c == '$')
            out += '$';
        out += c;
    }
    return out;
}

// Writes through a temporary file beside the target, so a reader never sees half a file.
bool WriteFile(const std::string& path, const std::string& text)
{
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::remove(temp.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec)
        std::remove(temp.c_str());
    return !ec;
}

int Usage()
{
    std::fprintf(stderr, "usage: vostrel_rc [-I dir]... [-D name[=value]]... --module name -o out.cpp "
                         "[--depfile out.d] script.rc\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    rc::CompileOptions options;
    std::string output, depfile, module, script;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc)
                return false;
            into = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "-I" && value(v)) {
            options.includeDirs.emplace_back(v);
        } else if (arg.rfind("-I", 0) == 0 && arg.size() > 2) {
            options.includeDirs.emplace_back(arg.substr(2));
        } else if (arg == "-D" && value(v)) {
            size_t eq = v.find('=');
            options.defines.emplace_back(v.substr(0, eq), eq == std::string::npos ? "1" : v.substr(eq + 1));
        } else if (arg == "-o" && value(output)) {
        } else if (arg == "--depfile" && value(depfile)) {
        } else if (arg == "--module" && value(module)) {
        } else if (!arg.empty() && arg[0] != '-' && script.empty()) {
            script = arg;
        } else {
            return Usage();
        }
    }
    if (output.empty() || module.empty() || script.empty())
        return Usage();

    try {
        const rc::CompileResult result = rc::CompileResourceScript(script, options);
        const std::string source = rc::GenerateResourceSource(result, module);
        if (!WriteFile(output, source)) {
            std::fprintf(stderr, "%s: error: cannot write %s: %s\n", script.c_str(), output.c_str(), std::strerror(errno));
            std::remove(output.c_str());
            return 1;
        }
        if (!depfile.empty()) {
            std::string deps = DepfileEscape(output) + ":";
            for (const std::string& dep : result.dependencies)
                deps += " \\\n  " + DepfileEscape(dep);
            deps += "\n";
            if (!WriteFile(depfile, deps)) {
                std::fprintf(stderr, "%s: error: cannot write %s\n", script.c_str(), depfile.c_str());
                std::remove(output.c_str());
                return 1;
            }
        }
    } catch (const rc::RcError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        std::remove(output.c_str());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: error: %s\n", script.c_str(), error.what());
        std::remove(output.c_str());
        return 1;
    }
    return 0;
}
