#pragma once

#include <cstdint>

namespace kx3 {

/// Counters of the three tables of staff.dat, kept in the table of contents.
struct StaffCounters
{
    std::int32_t persons = 0;          ///< N
    std::int32_t staffAttributes = 0;  ///< S
    std::int32_t staffOffset = 0;      ///< OS, bytes
    std::int32_t playerAttributes = 0; ///< P
    std::int32_t playerOffset = 0;     ///< OP, bytes

    friend bool operator==(const StaffCounters &, const StaffCounters &) = default;
};

} // namespace kx3
