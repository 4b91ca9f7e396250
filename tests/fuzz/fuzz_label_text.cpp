#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& world = tandrel::fuzz::getWorld();
    return tandrel::fuzz::report (tandrel::fuzz::runLabelText (world.getProcessor(), data, size));
}
