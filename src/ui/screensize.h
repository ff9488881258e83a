// The size of every screen of the program: it fits a 1024 × 768 display with its frame.
#pragma once

namespace qv::ui {

inline constexpr int kScreenWidth = 1016;
inline constexpr int kScreenHeight = 730;

} // namespace qv::ui
