// Twips (1/1440 inch) to pixels at a given DPI, rounded to the nearest pixel.
#pragma once

namespace dravik {

constexpr int TwipsToPixels(int twips, int dpi)
{
    return (twips * dpi + 720) / 1440;
}

}  // namespace dravik
