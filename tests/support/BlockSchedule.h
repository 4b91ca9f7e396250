// Host block schedules: the block lengths a host repeats against the maximum it announced at prepare.
#pragma once

#include <algorithm>
#include <vector>

namespace tandrel::test
{
struct BlockSchedule
{
    const char* name;
    int prepared;             // the maximum block size announced at prepare
    std::vector<int> lengths; // the lengths of consecutive blocks, repeated

    /** The length of block k of the schedule. */
    int lengthOf (int k) const { return lengths[(size_t) k % lengths.size()]; }
    int longest() const { return *std::max_element (lengths.begin(), lengths.end()); }
};
} // namespace tandrel::test
