#pragma once
// The window's resize rules as arithmetic on twips, without widgets: the height
// follows the width so both pictures keep their aspect ratio, and the controls
// that depend on the window's size get their new places. The window and each
// page that grows apply their part to their own controls.
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

// All values in twips. A page applies its heights before the widths computed
// from them.
struct FrameSize {
    double height, width;
};

struct UnitLayout {
    FrameSize frame;
    double ProgPicDwnldTop;
    double Image1Height, Image1Width;
};

struct DiskLayout {
    FrameSize frame;
    double File1Height;
    double Image2Height, Image2Width;
    double txtBRTaxiNumberTop, txtBRSerialNumberTop, txtBRUserStringTop, txtBrTrigTypeTop;
};

// "Live Images" grows like "Unit": its picture as wide as Image1, the status
// line under it.
struct LiveLayout {
    FrameSize frame;
    double imgLiveHeight, imgLiveWidth;
    double lblLiveStatusTop, lblLiveStatusWidth;
};

struct ResizeLayout {
    double TabStrip1Height, TabStrip1Width;
    double TxtUSBLeft;
    UnitLayout unit;
    DiskLayout disk;
    LiveLayout live;
};

// The widths of the pictures are computed from the heights that they report
// after their own heights were set, and the widths of the frames and the tab
// strip from the width that Image1 then reports: reported(twips) gives what a
// control reports for a value (one on a pixel grid rounds); by default it is the
// value itself.
ResizeLayout ComputeResizeLayout(std::int32_t newHeight, double outerWidth,
                                 const std::function<double(double)>& reported = {});
