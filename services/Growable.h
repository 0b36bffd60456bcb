#pragma once
#include "services/GrowthRule.h"
#include <vector>

// Makes room for one more element the way the model's growable arrays grow,
// instead of the library's doubling: large page lists do not overshoot.
template <typename T> void ReserveOneMore(std::vector<T>& v) {
    if (v.size() == v.capacity()) v.reserve(v.size() + GrowthStep(v.size()));
}
