#pragma once
// Design places are in twips: 1/1440 inch, 15 twips to a device-independent pixel.
#include <QRect>
#include <cmath>

inline constexpr double TwipsPerPixel = 15.0;

inline int TwipsToPixels(double twips)
{
    return int(std::lround(twips / TwipsPerPixel));
}
inline double PixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

inline QRect TwipsRect(double left, double top, double width, double height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}
