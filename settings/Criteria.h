#pragma once

// What two files of a group must share besides their name: the grouping criteria bits.
enum CriteriaBit : unsigned char { kSameTime = 1, kSameSize = 2, kSameDigest = 4 };
