// Judging the soak run's memory.
#include "tools/autoplay/soak.h"

#include <algorithm>

double heap_trend(const std::vector<long> &samples, size_t period)
{
    if (period < 1)
        period = 1;
    std::vector<double> slopes;
    for (size_t i = 0; i < samples.size(); i++)
        for (size_t j = i + period; j < samples.size(); j += period)
            slopes.push_back((double)(samples[j] - samples[i]) / (double)(j - i));
    if (slopes.empty())
        return 0;
    size_t mid = slopes.size() / 2;
    std::nth_element(slopes.begin(), slopes.begin() + mid, slopes.end());
    double upper = slopes[mid];
    if (slopes.size() % 2)
        return upper;
    double lower = *std::max_element(slopes.begin(), slopes.begin() + mid);
    return (lower + upper) / 2;
}

bool heap_grows(const std::vector<long> &samples, size_t period)
{
    return heap_trend(samples, period) > GROWTH_LIMIT;
}
