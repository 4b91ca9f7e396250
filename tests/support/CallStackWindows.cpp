#if defined(_WIN32)

 #include "CallStack.h"

 #include <windows.h>

 #include <cxxabi.h>

 #include <algorithm>
 #include <cstdint>
 #include <cstdio>
 #include <cstdlib>
 #include <cstring>
 #include <map>
 #include <memory>
 #include <mutex>
 #include <vector>

namespace tandrel::test
{
namespace
{
//==============================================================================
// MinGW's binaries carry no PDB for the system's symbol handler, but the linker
// leaves the COFF symbol table in each module's file: the functions of a module
// are named from it, the nearest function symbol below a frame's address.

template <typename T>
T readAt (const std::vector<unsigned char>& file, std::size_t offset)
{
    T value {};
    if (offset + sizeof (T) <= file.size())
        std::memcpy (&value, file.data() + offset, sizeof (T));
    return value;
}

std::vector<unsigned char> readWholeFile (const wchar_t* path)
{
    std::vector<unsigned char> bytes;
    if (auto* file = _wfopen (path, L"rb"))
    {
        unsigned char chunk[1 << 16];
        for (std::size_t got; (got = std::fread (chunk, 1, sizeof (chunk), file)) > 0;)
            bytes.insert (bytes.end(), chunk, chunk + got);
        std::fclose (file);
    }
    return bytes;
}

/** A module's function symbols by their address relative to the module's base. */
class ModuleSymbols
{
public:
    explicit ModuleSymbols (HMODULE module)
    {
        wchar_t path[MAX_PATH] {};
        if (GetModuleFileNameW (module, path, MAX_PATH) == 0)
            return;
        const auto file = readWholeFile (path);

        const auto pe = readAt<std::uint32_t> (file, 0x3c);
        if (readAt<std::uint32_t> (file, pe) != 0x00004550) // "PE\0\0"
            return;
        const auto header = pe + 4;
        const auto sectionCount = readAt<std::uint16_t> (file, header + 2);
        const auto symbolTable = readAt<std::uint32_t> (file, header + 8);
        const auto symbolCount = readAt<std::uint32_t> (file, header + 12);
        const auto sections = header + 20 + readAt<std::uint16_t> (file, header + 16);
        const std::size_t symbolSize = 18, stringTable = symbolTable + symbolSize * symbolCount;
        if (symbolTable == 0 || stringTable > file.size())
            return;

        for (std::uint32_t i = 0; i < symbolCount; i += 1u + readAt<std::uint8_t> (file, symbolTable + i * symbolSize + 17))
        {
            const auto symbol = symbolTable + i * symbolSize;
            const auto section = readAt<std::int16_t> (file, symbol + 12);
            const auto type = readAt<std::uint16_t> (file, symbol + 14);
            if (section < 1 || section > sectionCount || type != 0x20) // 0x20: a function
                continue;
            const auto sectionHeader = sections + 40u * (unsigned) (section - 1);
            const auto address = readAt<std::uint32_t> (file, sectionHeader + 12) + readAt<std::uint32_t> (file, symbol + 8);

            std::string name;
            if (readAt<std::uint32_t> (file, symbol) == 0) // a long name, in the string table
            {
                const auto at = stringTable + readAt<std::uint32_t> (file, symbol + 4);
                if (at < file.size())
                {
                    const auto* text = reinterpret_cast<const char*> (file.data() + at);
                    name.assign (text, strnlen (text, file.size() - at));
                }
            }
            else
            {
                name.assign (reinterpret_cast<const char*> (file.data() + symbol), 8);
                name.resize (std::strlen (name.c_str()));
            }
            functions.push_back ({ address, std::move (name) });
        }
        std::sort (functions.begin(), functions.end(), [] (const auto& a, const auto& b) { return a.address < b.address; });
    }

    /** The readable name of the function holding the address, or empty. */
    std::string nameOf (std::uint32_t address) const
    {
        auto after = std::upper_bound (functions.begin(), functions.end(), address,
                                       [] (std::uint32_t a, const Function& f) { return a < f.address; });
        if (after == functions.begin())
            return {};
        const auto& mangled = std::prev (after)->name;
        int status = 0;
        std::unique_ptr<char, void (*) (void*)> readable (abi::__cxa_demangle (mangled.c_str(), nullptr, nullptr, &status), std::free);
        return status == 0 && readable != nullptr ? std::string (readable.get()) : mangled;
    }

private:
    struct Function
    {
        std::uint32_t address;
        std::string name;
    };
    std::vector<Function> functions;
};

std::string nameInModule (HMODULE module, std::uint32_t address)
{
    static std::mutex lock;
    static std::map<HMODULE, std::unique_ptr<ModuleSymbols>> modules;
    const std::lock_guard<std::mutex> hold (lock);
    auto& symbols = modules[module];
    if (symbols == nullptr)
        symbols = std::make_unique<ModuleSymbols> (module);
    return symbols->nameOf (address);
}
} // namespace

int captureCallStack (void** frames, int maxFrames) noexcept
{
    return (int) CaptureStackBackTrace (0, (DWORD) maxFrames, frames, nullptr);
}

std::string describeCallStack (void* const* frames, int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
    {
        HMODULE module = nullptr;
        char path[MAX_PATH] = "?";
        if (GetModuleHandleExA (GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                static_cast<LPCSTR> (frames[i]), &module))
            GetModuleFileNameA (module, path, sizeof (path));
        const auto offset = (std::uint32_t) (static_cast<const char*> (frames[i]) - reinterpret_cast<const char*> (module));
        // A return address lies just past its call, which may be a function's last instruction.
        const auto name = module != nullptr ? nameInModule (module, offset - 1) : std::string();

        char line[MAX_PATH + 64];
        std::snprintf (line, sizeof (line), "%s+0x%lx", path, (unsigned long) offset);
        text += "\n    " + (name.empty() ? std::string() : name + "  [") + line + (name.empty() ? "" : "]");
    }
    return text;
}
} // namespace tandrel::test

#endif
