#pragma once

#include <QRect>
#include <QSize>

// Window layouts are given in twips; the screen has 15 twips to a pixel.
namespace twips {

inline constexpr int kPerPixel = 15;

constexpr QRect rect(int left, int top, int width, int height)
{
    return QRect(left / kPerPixel, top / kPerPixel, width / kPerPixel, height / kPerPixel);
}

constexpr QSize size(int width, int height)
{
    return QSize(width / kPerPixel, height / kPerPixel);
}

} // namespace twips
