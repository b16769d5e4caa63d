#pragma once

#include <algorithm>
#include <vector>

// The median of a benchmark's timings (the upper one of an even count).
inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
