// Judging the soak run's memory.
#include "tools/autoplay/soak.h"

#include <algorithm>
#include <cmath>

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

SoakPlan soak_plan(long settling, long samples, int sample_kind, long maps)
{
    SoakPlan plan = {};
    plan.left[SOAK_WHOLE] = settling;
    plan.left[sample_kind] += samples;
    plan.maps = maps > 0 ? maps : 1;
    return plan;
}

void soak_played(SoakPlan &plan, int kind, long passes, bool ended)
{
    // A game cut off by the budget says nothing of how long its kind takes.
    if (!ended)
        return;
    plan.played[kind] += passes;
    plan.games[kind]++;
    if (plan.left[kind] > 0)
        plan.left[kind]--;
    if (plan.shortest[kind] == 0 || passes < plan.shortest[kind])
        plan.shortest[kind] = passes;
}

bool soak_can_finish(const SoakPlan &plan, long passes_left)
{
    double least = 0;
    for (int k = 0; k < SOAK_KINDS; k++)
        least += plan.left[k] * 0.9 * plan.shortest[k];
    return least <= passes_left;
}

long soak_passes_to_ask(const SoakPlan &plan, long passes_done)
{
    double whole = plan.games[SOAK_WHOLE] ? (double)plan.played[SOAK_WHOLE] / plan.games[SOAK_WHOLE] : 0;
    double guess[SOAK_KINDS] = {whole, whole / plan.maps};
    double need = 0;
    for (int k = 0; k < SOAK_KINDS; k++) {
        double mean = plan.games[k] ? (double)plan.played[k] / plan.games[k] : guess[k];
        need += plan.left[k] * mean;
    }
    long ask = passes_done + (long)std::ceil(need * 1.1);
    return (ask + 999) / 1000 * 1000;
}
