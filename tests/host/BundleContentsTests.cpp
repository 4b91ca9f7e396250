// What a host finds inside the bundles before it loads anything: exactly the
// expected files, a VST3 moduleinfo.json that describes the module's own classes,
// and an LV2 manifest whose references all resolve inside the bundle.

#include "ClassIdText.h"
#include "HostedPlugin.h"

#include <gtest/gtest.h>
#include <pluginterfaces/vst/ivstcomponent.h>

using tandrel::test::PluginFormatKind;

namespace
{
/** Every file in a bundle, as paths relative to the bundle, sorted. */
juce::StringArray filesIn (const juce::File& bundle)
{
    juce::StringArray files;
    for (const auto& entry : juce::RangedDirectoryIterator (bundle, true, "*", juce::File::findFiles))
        files.add (entry.getFile().getRelativePathFrom (bundle).replaceCharacter ('\\', '/'));
    files.sort (false);
    return files;
}

#if JUCE_WINDOWS
/** A 64-bit Windows DLL: an MZ stub pointing at a PE header for x64 whose
    characteristics carry IMAGE_FILE_DLL. */
bool isWindowsX64Dll (const juce::File& file)
{
    juce::MemoryBlock image;
    if (! file.loadFileAsData (image) || image.getSize() < 0x40)
        return false;
    const auto* bytes = static_cast<const unsigned char*> (image.getData());
    const auto peOffset = (size_t) juce::ByteOrder::littleEndianInt (bytes + 0x3c);
    if (bytes[0] != 'M' || bytes[1] != 'Z' || peOffset + 24 > image.getSize())
        return false;
    const auto* pe = bytes + peOffset;
    const bool signature = pe[0] == 'P' && pe[1] == 'E' && pe[2] == 0 && pe[3] == 0;
    const auto machine = juce::ByteOrder::littleEndianShort (pe + 4);
    const auto characteristics = juce::ByteOrder::littleEndianShort (pe + 22);
    return signature && machine == 0x8664 && (characteristics & 0x2000) != 0;
}

bool isPluginModule (const juce::File& file) { return isWindowsX64Dll (file); }
#else
bool isElfSharedObject (const juce::File& file)
{
    juce::MemoryBlock header;
    if (! file.loadFileAsData (header) || header.getSize() < 18)
        return false;
    const auto* bytes = static_cast<const unsigned char*> (header.getData());
    const bool elf = bytes[0] == 0x7f && bytes[1] == 'E' && bytes[2] == 'L' && bytes[3] == 'F';
    return elf && bytes[16] == 3 && bytes[17] == 0; // e_type ET_DYN (little-endian)
}

bool isPluginModule (const juce::File& file) { return isElfSharedObject (file); }
#endif

juce::String controllerClassIdOfLoadedVst3()
{
    juce::String error;
    auto plugin = tandrel::test::loadBuiltPlugin (PluginFormatKind::vst3, 44100.0, 512, error);
    if (plugin == nullptr)
        return "not loaded: " + error;

    struct ComponentOf : juce::ExtensionsVisitor
    {
        void visitVST3Client (const VST3Client& client) override { component = client.getIComponentPtr(); }
        Steinberg::Vst::IComponent* component = nullptr;
    } visitor;
    plugin->getExtensions (visitor);
    if (visitor.component == nullptr)
        return "no component";

    Steinberg::TUID cid {};
    if (visitor.component->getControllerClassId (cid) != Steinberg::kResultTrue)
        return "no controller class";
    return vst3ClassIdText (cid);
}
} // namespace

TEST (BundleContents, Vst3HoldsItsModuleAndAModuleInfoDescribingIt)
{
    const juce::File bundle (tandrel::test::vst3BundlePath());
    EXPECT_EQ (bundle.getFileName(), "Tandrel_v1-1.vst3");
    const auto module = tandrel::test::vst3ModuleInBundle();
    EXPECT_EQ (filesIn (bundle), juce::StringArray (juce::String ("Contents/Resources/moduleinfo.json"), module));
    EXPECT_TRUE (isPluginModule (bundle.getChildFile (module)));

    juce::var info;
    const auto parsed = juce::JSON::parse (bundle.getChildFile ("Contents/Resources/moduleinfo.json").loadFileAsString(), info);
    ASSERT_TRUE (parsed.wasOk()) << parsed.getErrorMessage();
    EXPECT_EQ (info["Name"].toString(), "Tandrel_v1-1");
    EXPECT_EQ (info["Version"].toString(), "1.1.3");
    EXPECT_EQ (info["Factory Info"]["Vendor"].toString(), "Quorvex");
    EXPECT_TRUE ((bool) info["Factory Info"]["Flags"]["Unicode"]);

    const auto* classes = info["Classes"].getArray();
    ASSERT_NE (classes, nullptr);
    ASSERT_EQ (classes->size(), 2);
    std::map<juce::String, juce::var> byCategory;
    for (const auto& c : *classes)
    {
        byCategory[c["Category"].toString()] = c;
        EXPECT_EQ (c["Name"].toString(), "Tandrel_v1-1");
        EXPECT_EQ (c["Vendor"].toString(), "Quorvex");
        EXPECT_EQ (c["Version"].toString(), "1.1.3");
        ASSERT_NE (c["Sub Categories"].getArray(), nullptr);
        EXPECT_EQ (*c["Sub Categories"].getArray(), juce::Array<juce::var> ({ "Fx" }));
        EXPECT_EQ (c["CID"].toString().length(), 32);
    }
    ASSERT_EQ (byCategory.count ("Audio Module Class"), 1u);
    ASSERT_EQ (byCategory.count ("Component Controller Class"), 1u);

    // The processor's class id carries the manufacturer and plug-in codes, "Qorv" and "Td11".
    EXPECT_TRUE (byCategory["Audio Module Class"]["CID"].toString().endsWith ("516F727654643131"));
    // The controller's is the one the loaded module's component names.
    EXPECT_EQ (byCategory["Component Controller Class"]["CID"].toString(), controllerClassIdOfLoadedVst3());
}

#if JUCE_PLUGINHOST_LV2
TEST (BundleContents, Lv2ManifestNamesThePluginAndEveryFileItRefersToIsThere)
{
    const juce::File bundle (tandrel::test::lv2BundlePath());
    EXPECT_EQ (bundle.getFileName(), "Tandrel_v1-1.lv2");
    EXPECT_EQ (filesIn (bundle), juce::StringArray ({ "dsp.ttl", "libTandrel_v1-1.so", "manifest.ttl", "ui.ttl" }));
    EXPECT_TRUE (isElfSharedObject (bundle.getChildFile ("libTandrel_v1-1.so")));

    const auto manifest = bundle.getChildFile ("manifest.ttl").loadFileAsString();
    EXPECT_TRUE (manifest.contains ("<" TANDREL_LV2_URI ">\n\ta lv2:Plugin ;\n\tlv2:binary <libTandrel_v1-1.so> ;"));

    // Every relative reference (<file>, not <scheme:...>) names a file of the bundle.
    juce::StringArray references;
    for (int start = manifest.indexOfChar ('<'); start >= 0; start = manifest.indexOfChar (start + 1, '<'))
    {
        const auto end = manifest.indexOfChar (start, '>');
        ASSERT_GT (end, start);
        const auto reference = manifest.substring (start + 1, end);
        if (! reference.contains (":"))
            references.addIfNotAlreadyThere (reference);
    }
    references.sort (false);
    EXPECT_EQ (references, juce::StringArray ({ "dsp.ttl", "libTandrel_v1-1.so", "ui.ttl" }));
    for (const auto& reference : references)
        EXPECT_TRUE (bundle.getChildFile (reference).existsAsFile()) << reference;
}
#endif
