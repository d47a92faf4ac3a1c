#pragma once

#include <cstdint>
#include <vector>

namespace fablewick::fakes {

// What a user sees of an intro fade, written out apart from the code: every
// level in order, each after a sleep of its own.
inline constexpr std::uint32_t FadeStepMs = 20;
inline const std::vector<int> FadeOutLevels{100, 95, 90, 85, 80, 75, 70, 65, 60, 55, 50,
                                            45,  40, 35, 30, 25, 20, 15, 10, 5,  0};
inline const std::vector<int> FadeInLevels(FadeOutLevels.rbegin(), FadeOutLevels.rend());

} // namespace fablewick::fakes
