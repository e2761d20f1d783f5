#pragma once

// The sample records that the event and the to-do tests each build, for the checks that every
// entry record must pass alike.

#include <cstdint>
#include <vector>

namespace dv::test {

/// An event record of `schema` (1 to 4) in which every field holds a value of its own.
std::vector<uint8_t> SampleEventRecord(uint16_t schema);

} // namespace dv::test
