#include "FuzzTarget.h"
#include "MarkupMutator.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& world = tandrel::fuzz::getWorld();
    return tandrel::fuzz::report (tandrel::fuzz::runPresetFile (world.getProcessor(), world.getScratch(), data, size));
}

extern "C" size_t LLVMFuzzerCustomMutator (uint8_t* data, size_t size, size_t maxSize, unsigned int seed)
{
    return tandrel::fuzz::mutatePresetFile (data, size, maxSize, seed);
}
