// How far apart the sheet's colours look to players with normal vision and
// to players with each of the three kinds of full colour blindness, and how
// far the health strip stands out from the grass. The art tool reports these
// figures after drawing, and the art's tests hold the art to them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

enum class View { Normal, Protan, Deutan, Tritan };
inline constexpr std::array<View, 4> VIEWS{View::Normal, View::Protan, View::Deutan, View::Tritan};
// "normal", "protan", "deutan" or "tritan".
const char* viewName(View view);

// The least mean distance between two teams in one look, and the least
// distance between a pixel of the health strip and the field's mean colour,
// that every view must keep.
inline constexpr double TEAMS_APART = 18;
inline constexpr double BAR_APART = 25;

// A colour in light proportional to intensity, each channel 0 to 1.
struct Linear {
    double r = 0, g = 0, b = 0;
};
// CIELAB under the D65 white.
struct Lab {
    double l = 0, a = 0, b = 0;
};

// 0xRRGGBB (sRGB) in linear light.
Linear linear(std::uint32_t rgb);
// The colour as the view sees it, in CIELAB: simulated in linear light,
// clamped to 0..1, then taken through CIE XYZ.
Lab seen(Linear colour, View view);
// Euclidean distance in CIELAB, the Delta E*ab of 1976.
double deltaE(const Lab& one, const Lab& other);

// A picture's pixel at x, y as 0xRRGGBB.
using PixelAt = std::function<std::uint32_t(int x, int y)>;

// The mean colour, in linear light, of the w x h picture.
Linear meanColour(const PixelAt& picture, int w, int h);

// The mean distance in view between the 10 x 17 cells with top-left corners
// a and b, over the pixels that are body (not the sheet's see-through pure
// green) in both; 0 when no pixel is.
double cellDistance(const PixelAt& sheet, int ax, int ay, int bx, int by, View view);

struct TeamPair {
    View view;
    int look, team, other; // team < other
    double distance;
};
// Every pair of the sheet's eight teams, standing, in each of its three
// looks, seen in every view.
std::vector<TeamPair> teamPairs(const PixelAt& sheet);

struct BarPixel {
    View view;
    int x, y; // on the strip: x 0 to 19, y 0 or 1
    double distance;
};
// Every pixel of the sheet's health strip against the field's mean colour,
// seen in every view.
std::vector<BarPixel> barPixels(const PixelAt& sheet, Linear field);
