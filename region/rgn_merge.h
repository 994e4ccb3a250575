// The row merges behind the combine modes. Each builds a new record, line by line over the
// rectangle its operands decide, and returns 1 with *out set or -1 with *out null.
#pragma once
#include <cstdint>

#include "qsrecords.h"

// a and b: pixels in both; rows limited to the intersection of the two boxes.
int32_t RgnIntersect(const RgnRecord& a, const RgnRecord& b, RgnRecord** out);
// a minus b: the pixels of a not in b; a's segment boundaries are kept.
int32_t RgnSubtract(const RgnRecord& a, const RgnRecord& b, RgnRecord** out);
// a or b, with touching runs joined.
int32_t RgnUnite(const RgnRecord& a, const RgnRecord& b, RgnRecord** out);
// Pixels in exactly one of a and b, as maximal runs: the union of the two differences.
int32_t RgnExclusiveOr(const RgnRecord& a, const RgnRecord& b, RgnRecord** out);
