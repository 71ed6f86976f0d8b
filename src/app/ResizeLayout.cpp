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

LayoutAssignments ComputeResizeLayout(std::int32_t newHeight, double outerWidth,
                                      const std::function<double(double)>& reported)
{
    const auto report = [&](double twips) { return reported ? reported(twips) : twips; };
    const double extraHeight = std::abs(newHeight - MinimumOuterHeight);
    const double extraWidth = std::nearbyint(outerWidth - MinimumOuterWidth);

    const double image1Height = extraHeight + 5545;
    const double image2Height = extraHeight + 5535;
    const double image1Width = report(image1Height) * LayoutRatio;
    const double image1Reported = report(image1Width);
    using P = LayoutProperty;
    return {{
        {"ProgPicDwnld", P::Top, extraHeight + 5520},
        {"TabStrip1", P::Height, extraHeight + 6615},
        {"Frame1_0", P::Height, extraHeight + 5895},
        {"Frame1_1", P::Height, extraHeight + 5895},
        {"Image1", P::Height, image1Height},
        {"File1", P::Height, extraHeight + 3660},
        {"Image2", P::Height, image2Height},
        {"Image1", P::Width, image1Width},
        {"Frame1_0", P::Width, image1Reported + 3570},
        {"Frame1_1", P::Width, image1Reported + 3570},
        {"TabStrip1", P::Width, image1Reported + 3810},
        {"Image2", P::Width, report(image2Height) * LayoutRatio},
        {"txtBRTaxiNumber", P::Top, extraHeight + 5040},
        {"txtBRSerialNumber", P::Top, extraHeight + 5280},
        {"txtBRUserString", P::Top, extraHeight + 5040},
        {"txtBrTrigType", P::Top, extraHeight + 4800},
        {"TxtUSB", P::Left, extraWidth + 9240},
        {"Frame1_3", P::Height, extraHeight + 5895},
        {"Frame1_3", P::Width, image1Reported + 3570},
        {"imgLive", P::Height, extraHeight + 5125},
        {"imgLive", P::Width, image1Reported},
        {"lblLiveStatus", P::Top, extraHeight + 5445},
        {"lblLiveStatus", P::Width, image1Reported},
    }};
}
