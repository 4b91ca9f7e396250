// Writes a VST3 bundle's Contents/Resources/moduleinfo.json from what the
// module's own factory reports, so that hosts which read the file can list the
// plug-in without loading it. Run after every build of the bundle.
//
// Usage: tandrel-vst3-moduleinfo BUNDLE.vst3 VERSION

#include "ClassIdText.h"

#include <pluginterfaces/base/ipluginbase.h>

#if defined(_WIN32)
 #include <windows.h>
#else
 #include <dlfcn.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;
using namespace Steinberg;

std::string architectureFolder()
{
#if defined(_WIN32) && defined(__x86_64__)
    return "x86_64-win";
#elif defined(__x86_64__)
    return "x86_64-linux";
#elif defined(__aarch64__)
    return "aarch64-linux";
#elif defined(__i386__)
    return "i386-linux";
#else
#error "unknown VST3 architecture folder"
#endif
}

/** A fixed-size text field of the factory, which need not be terminated. */
template <size_t size>
std::string fieldText (const char8 (&field)[size])
{
    size_t length = 0;
    while (length < size && field[length] != 0)
        ++length;
    return std::string (field, length);
}

std::string jsonString (const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text)
    {
        if (c == '"' || c == '\\')
            quoted += { '\\', c };
        else if (static_cast<unsigned char> (c) < 0x20)
        {
            char escaped[8];
            std::snprintf (escaped, sizeof (escaped), "\\u%04x", (unsigned int) static_cast<unsigned char> (c));
            quoted += escaped;
        }
        else
            quoted += c;
    }
    return quoted + "\"";
}

std::string subCategoriesJson (const std::string& subCategories)
{
    std::vector<std::string> parts;
    std::stringstream stream (subCategories);
    for (std::string part; std::getline (stream, part, '|');)
        if (! part.empty())
            parts.push_back (jsonString (part));
    std::string json = "[";
    for (size_t i = 0; i < parts.size(); ++i)
        json += (i == 0 ? " " : ", ") + parts[i];
    return json + (parts.empty() ? "]" : " ]");
}

int fail (const std::string& message)
{
    std::cerr << "tandrel-vst3-moduleinfo: " << message << "\n";
    return 1;
}

/** The module's binary, loaded, with the entry points the platform's VST3 hosts
    call around the factory: ModuleEntry/ModuleExit on Linux, InitDll/ExitDll on
    Windows. It stays loaded: JUCE's static objects are torn down with the process. */
class LoadedModule
{
public:
    explicit LoadedModule (const fs::path& binary)
    {
#if defined(_WIN32)
        handle = LoadLibraryW (binary.wstring().c_str());
        if (handle == nullptr)
            error = "cannot load " + binary.string() + ": error " + std::to_string (GetLastError());
#else
        handle = dlopen (binary.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            error = "cannot load " + binary.string() + ": " + dlerror();
#endif
    }

    const std::string& loadError() const { return error; }

    bool enter()
    {
#if defined(_WIN32)
        using InitFunction = bool (*)();
        const auto init = reinterpret_cast<InitFunction> (symbol ("InitDll"));
        return init != nullptr && init();
#else
        using EntryFunction = bool (*) (void*);
        const auto entry = reinterpret_cast<EntryFunction> (symbol ("ModuleEntry"));
        return entry != nullptr && entry (handle);
#endif
    }

    void leave()
    {
        using ExitFunction = bool (*)();
#if defined(_WIN32)
        const auto exitFunction = reinterpret_cast<ExitFunction> (symbol ("ExitDll"));
#else
        const auto exitFunction = reinterpret_cast<ExitFunction> (symbol ("ModuleExit"));
#endif
        if (exitFunction != nullptr)
            exitFunction();
    }

    IPluginFactory* factory()
    {
        using FactoryFunction = IPluginFactory* (PLUGIN_API*) ();
        const auto getFactory = reinterpret_cast<FactoryFunction> (symbol ("GetPluginFactory"));
        return getFactory != nullptr ? getFactory() : nullptr;
    }

private:
    void* symbol (const char* name)
    {
#if defined(_WIN32)
        return reinterpret_cast<void*> (GetProcAddress (handle, name));
#else
        return dlsym (handle, name);
#endif
    }

#if defined(_WIN32)
    HMODULE handle = nullptr;
#else
    void* handle = nullptr;
#endif
    std::string error;
};

std::string binaryName (const std::string& name)
{
#if defined(_WIN32)
    return name + ".vst3";
#else
    return name + ".so";
#endif
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 3)
        return fail ("usage: tandrel-vst3-moduleinfo BUNDLE.vst3 VERSION");

    const fs::path bundle (argv[1]);
    const std::string version (argv[2]);
    const auto name = bundle.stem().string();
    const auto binary = bundle / "Contents" / architectureFolder() / binaryName (name);

    LoadedModule library (binary);
    if (! library.loadError().empty())
        return fail (library.loadError());
    if (! library.enter())
        return fail (binary.string() + ": the module's entry point is missing or failed");

    std::ostringstream json;
    int result = 0;
    if (IPluginFactory* factory = library.factory())
    {
        PFactoryInfo info;
        factory->getFactoryInfo (&info);
        IPluginFactory2* factory2 = nullptr;
        factory->queryInterface (IPluginFactory2_iid, reinterpret_cast<void**> (&factory2));

        json << "{\n"
             << "  \"Name\": " << jsonString (name) << ",\n"
             << "  \"Version\": " << jsonString (version) << ",\n"
             << "  \"Factory Info\": {\n"
             << "    \"Vendor\": " << jsonString (fieldText (info.vendor)) << ",\n"
             << "    \"URL\": " << jsonString (fieldText (info.url)) << ",\n"
             << "    \"E-Mail\": " << jsonString (fieldText (info.email)) << ",\n"
             << "    \"Flags\": {\n"
             << "      \"Unicode\": " << ((info.flags & PFactoryInfo::kUnicode) != 0 ? "true" : "false") << ",\n"
             << "      \"Classes Discardable\": " << ((info.flags & PFactoryInfo::kClassesDiscardable) != 0 ? "true" : "false") << ",\n"
             << "      \"Component Non Discardable\": " << ((info.flags & PFactoryInfo::kComponentNonDiscardable) != 0 ? "true" : "false") << "\n"
             << "    }\n"
             << "  },\n"
             << "  \"Classes\": [";

        const int32 count = factory->countClasses();
        for (int32 i = 0; i < count; ++i)
        {
            PClassInfo2 classInfo;
            if (factory2 == nullptr || factory2->getClassInfo2 (i, &classInfo) != kResultOk)
            {
                PClassInfo basic;
                if (factory->getClassInfo (i, &basic) != kResultOk)
                {
                    result = fail ("the factory does not describe class " + std::to_string (i));
                    break;
                }
                classInfo = PClassInfo2 (basic.cid, basic.cardinality, basic.category, basic.name, 0, "",
                                         fieldText (info.vendor).c_str(), "", "");
            }
            json << (i == 0 ? "\n" : ",\n")
                 << "    {\n"
                 << "      \"CID\": " << jsonString (vst3ClassIdText (classInfo.cid)) << ",\n"
                 << "      \"Category\": " << jsonString (fieldText (classInfo.category)) << ",\n"
                 << "      \"Name\": " << jsonString (fieldText (classInfo.name)) << ",\n"
                 << "      \"Vendor\": " << jsonString (fieldText (classInfo.vendor)) << ",\n"
                 << "      \"Version\": " << jsonString (fieldText (classInfo.version)) << ",\n"
                 << "      \"SDKVersion\": " << jsonString (fieldText (classInfo.sdkVersion)) << ",\n"
                 << "      \"Sub Categories\": " << subCategoriesJson (fieldText (classInfo.subCategories)) << ",\n"
                 << "      \"Class Flags\": " << classInfo.classFlags << ",\n"
                 << "      \"Cardinality\": " << classInfo.cardinality << "\n"
                 << "    }";
        }
        json << "\n  ]\n}\n";

        if (factory2 != nullptr)
            factory2->release();
        factory->release();
    }
    else
        result = fail ("GetPluginFactory returned no factory");

    library.leave();
    if (result != 0)
        return result;

    const auto folder = bundle / "Contents" / "Resources";
    std::error_code error;
    fs::create_directories (folder, error);
    const auto target = folder / "moduleinfo.json";
    const auto temporary = folder / "moduleinfo.json.tmp";
    {
        std::ofstream out (temporary, std::ios::binary | std::ios::trunc);
        out << json.str();
        if (! out.good())
            return fail ("cannot write " + temporary.string());
    }
    fs::rename (temporary, target, error);
    if (error)
        return fail ("cannot replace " + target.string() + ": " + error.message());
    return 0;
}
