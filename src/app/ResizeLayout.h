#pragma once
// The window's resize rules as arithmetic on twips, without widgets: the height
// follows the width so both pictures keep their aspect ratio, and the controls
// that depend on the window's size get their new places.
#include <array>
#include <cstdint>
#include <functional>

inline constexpr double LayoutRatio = 5460.0 / 4215.0; // R: picture width / height
inline constexpr std::int32_t MinimumOuterWidth = 11040;
inline constexpr std::int32_t MinimumOuterHeight = 7125;

// True when the window is to be set to the minimum size (both dimensions, even
// when only one of them is too small).
bool BelowMinimumSize(double outerWidth, double outerHeight);

// (outer width - 1810) / R, rounded to the nearest integer, halves to even.
// 32-bit: wider than 43807 twips the height keeps following the width instead
// of overflowing.
std::int32_t HeightForWidth(double outerWidth);

enum class LayoutProperty { Top, Height, Width, Left };

struct LayoutAssignment {
    const char* control;
    LayoutProperty property;
    double value; // twips
};

using LayoutAssignments = std::array<LayoutAssignment, 23>;

// The seventeen assignments in their order, then six for the "Live Images"
// page, which grows like the "Unit" page: its picture as wide as Image1 with
// the status line under it. The widths of steps 8 to 12 are
// computed from the height that a control reports after its own height was set:
// reported(twips) gives that (a control on a pixel grid rounds); by default it
// is the value itself.
LayoutAssignments ComputeResizeLayout(std::int32_t newHeight, double outerWidth,
                                      const std::function<double(double)>& reported = {});
