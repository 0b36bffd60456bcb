#pragma once

// Notification codes the controls send to their owner with their identifier:
// a "changing" code while the user drags (show the value, record nothing) and
// a "changed" code once the change is complete (apply it, one undo step).
namespace ctl {
inline constexpr int kWheelChanging = 4025;
inline constexpr int kWheelChanged = 4026;
inline constexpr int kSliderChanging = 2029;
inline constexpr int kSliderChanged = 2030;
inline constexpr int kGradientChanged = 4027;
inline constexpr int kColorChanged = 4028;
inline constexpr int kButtonChanged = 4031;
inline constexpr int kFlatButtonChanged = 4032;
inline constexpr int kGradientDesignerChanged = 3024;
inline constexpr int kBitmapListSelChanging = 4033;
inline constexpr int kBitmapListUpdated = 4034;
} // namespace ctl
