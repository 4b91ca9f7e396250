// Writes a VST3 bundle's Contents/Resources/moduleinfo.json from what the
// module's own factory reports, so that hosts which read the file can list the
// plug-in without loading it. Run after every build of the bundle.
//
// Usage: tandrel-vst3-moduleinfo BUNDLE.vst3 VERSION

#include <pluginterfaces/base/ipluginbase.h>

#include <dlfcn.h>

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
#if defined(__x86_64__)
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

/** The class id as VST3 prints it on this platform: the 16 bytes in order, upper-case hex. */
std::string classIdText (const TUID cid)
{
    std::string text;
    for (int i = 0; i < 16; ++i)
    {
        char hex[3];
        std::snprintf (hex, sizeof (hex), "%02X", (unsigned int) (unsigned char) cid[i]);
        text += hex;
    }
    return text;
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
} // namespace

int main (int argc, char** argv)
{
    if (argc != 3)
        return fail ("usage: tandrel-vst3-moduleinfo BUNDLE.vst3 VERSION");

    const fs::path bundle (argv[1]);
    const std::string version (argv[2]);
    const auto name = bundle.stem().string();
    const auto binary = bundle / "Contents" / architectureFolder() / (name + ".so");

    void* library = dlopen (binary.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        return fail (std::string ("cannot load ") + binary.string() + ": " + dlerror());

    using EntryFunction = bool (*) (void*);
    using ExitFunction = bool (*)();
    using FactoryFunction = IPluginFactory* (PLUGIN_API*) ();
    const auto moduleEntry = reinterpret_cast<EntryFunction> (dlsym (library, "ModuleEntry"));
    const auto moduleExit = reinterpret_cast<ExitFunction> (dlsym (library, "ModuleExit"));
    const auto getFactory = reinterpret_cast<FactoryFunction> (dlsym (library, "GetPluginFactory"));
    if (moduleEntry == nullptr || moduleExit == nullptr || getFactory == nullptr)
        return fail (binary.string() + " lacks the VST3 module entry points");
    if (! moduleEntry (library))
        return fail ("ModuleEntry failed");

    std::ostringstream json;
    int result = 0;
    if (IPluginFactory* factory = getFactory())
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
                 << "      \"CID\": " << jsonString (classIdText (classInfo.cid)) << ",\n"
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

    moduleExit();
    // The module stays loaded: JUCE's static objects are torn down with the process.
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
