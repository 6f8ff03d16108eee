#pragma once

// Layouts of the program are given in twips, the unit the forms were drawn in.

#include <QRect>

namespace mainwindow {

inline constexpr int TwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) {
    return twips / TwipsPerPixel;
}

constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

} // namespace mainwindow
