#include "app/ResizeLayout.h"

#include <cmath>
#include <cstdlib>

bool BelowMinimumSize(double outerWidth, double outerHeight)
{
    return outerHeight < MinimumOuterHeight || outerWidth < MinimumOuterWidth;
}

std::int32_t HeightForWidth(double outerWidth)
{
    // nearbyint rounds halves to even in the default rounding mode.
    return std::int32_t(std::nearbyint((outerWidth - 1810.0) / LayoutRatio));
}

ResizeLayout ComputeResizeLayout(std::int32_t newHeight, double outerWidth,
                                 const std::function<double(double)>& reported)
{
    const auto report = [&](double twips) { return reported ? reported(twips) : twips; };
    const double extraHeight = std::abs(newHeight - MinimumOuterHeight);
    const double extraWidth = std::nearbyint(outerWidth - MinimumOuterWidth);

    const double image1Height = extraHeight + 5545;
    const double image2Height = extraHeight + 5535;
    const double image1Width = report(image1Height) * LayoutRatio;
    const double image1Reported = report(image1Width);
    const FrameSize frame{extraHeight + 5895, image1Reported + 3570};
    return {
        .TabStrip1Height = extraHeight + 6615,
        .TabStrip1Width = image1Reported + 3810,
        .TxtUSBLeft = extraWidth + 9240,
        .unit = {.frame = frame,
                 .ProgPicDwnldTop = extraHeight + 5520,
                 .Image1Height = image1Height,
                 .Image1Width = image1Width},
        .disk = {.frame = frame,
                 .File1Height = extraHeight + 3660,
                 .Image2Height = image2Height,
                 .Image2Width = report(image2Height) * LayoutRatio,
                 .txtBRTaxiNumberTop = extraHeight + 5040,
                 .txtBRSerialNumberTop = extraHeight + 5280,
                 .txtBRUserStringTop = extraHeight + 5040,
                 .txtBrTrigTypeTop = extraHeight + 4800},
        .live = {.frame = frame,
                 .imgLiveHeight = extraHeight + 5125,
                 .imgLiveWidth = image1Reported,
                 .lblLiveStatusTop = extraHeight + 5445,
                 .lblLiveStatusWidth = image1Reported},
    };
}
