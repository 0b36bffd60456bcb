#pragma once
#include <algorithm>
#include <cstddef>

// How many elements a growable array adds when it is full: the step set for
// the array, or else an eighth of its size kept between 4 and 1024, so small
// arrays do not reallocate on every insert and large ones do not overshoot.
constexpr std::size_t GrowthStep(std::size_t size, std::size_t setStep = 0) {
    if (setStep != 0) return setStep;
    return std::max<std::size_t>(4, std::min<std::size_t>(1024, size / 8));
}
