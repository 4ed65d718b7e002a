#pragma once
// Wall-clock timing and the median of repeated rounds.

#include <vector>

namespace bench {

double nowSeconds();
double median(std::vector<double> values);

}  // namespace bench
