// Replays every file of every fuzz corpus (the seeds and each fixed finding)
// through the fuzzers' own entry functions, so the normal suite guards them.

#include "../fuzz/FuzzEntries.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using tandrel::fuzz::FuzzWorld;

struct CorpusTarget
{
    const char* name;
    std::function<std::string (FuzzWorld&, const uint8_t*, size_t)> run;
};

const CorpusTarget corpusTargets[] = {
    { "state", [] (FuzzWorld& w, const uint8_t* d, size_t n) { return tandrel::fuzz::runStateBlob (w.getProcessor(), d, n); } },
    { "preset_file", [] (FuzzWorld& w, const uint8_t* d, size_t n) { return tandrel::fuzz::runPresetFile (w.getProcessor(), w.getScratch(), d, n); } },
    { "preset_pack", [] (FuzzWorld& w, const uint8_t* d, size_t n) { return tandrel::fuzz::runPresetPack (w.getProcessor(), w.getScratch(), d, n); } },
    { "parameter_id", [] (FuzzWorld& w, const uint8_t* d, size_t n) { return tandrel::fuzz::runParameterId (w.getProcessor(), d, n); } },
    { "label_text", [] (FuzzWorld& w, const uint8_t* d, size_t n) { return tandrel::fuzz::runLabelText (w.getProcessor(), d, n); } },
};

class FuzzCorpusReplay : public ::testing::TestWithParam<CorpusTarget>
{
};

TEST_P (FuzzCorpusReplay, EveryFilePassesTheTargetsChecks)
{
    const auto corpus = juce::File (TANDREL_SOURCE_DIR).getChildFile ("tests/fuzz/corpus").getChildFile (GetParam().name);
    const auto files = corpus.findChildFiles (juce::File::findFiles, false);
    ASSERT_FALSE (files.isEmpty()) << "empty corpus " << corpus.getFullPathName();

    FuzzWorld world;
    for (const auto& file : files)
    {
        juce::MemoryBlock bytes;
        ASSERT_TRUE (file.loadFileAsData (bytes)) << file.getFullPathName();
        EXPECT_EQ (GetParam().run (world, static_cast<const uint8_t*> (bytes.getData()), bytes.getSize()), "")
            << GetParam().name << "/" << file.getFileName();
    }
}

INSTANTIATE_TEST_SUITE_P (Corpora, FuzzCorpusReplay, ::testing::ValuesIn (corpusTargets),
                          [] (const auto& testInfo) { return std::string (testInfo.param.name); });
} // namespace
