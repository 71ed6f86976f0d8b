#include "BenchCommon.h"

#include <algorithm>

void Print(const char* name, double value)
{
    std::printf("%s: %.6g\n", name, value);
    std::fflush(stdout);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
