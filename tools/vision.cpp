#include "vision.h"

#include <algorithm>
#include <cmath>

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

// Full colour blindness simulated in linear RGB (Machado, Oliveira and
// Fernandes, 2009, severity 1); the rows give the red, green and blue seen.
constexpr Matrix NORMAL{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
constexpr Matrix PROTAN{{{0.152286, 1.052583, -0.204868},
                         {0.114503, 0.786281, 0.099216},
                         {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix DEUTAN{{{0.367322, 0.860646, -0.227968},
                         {0.280085, 0.672501, 0.047413},
                         {-0.011820, 0.042940, 0.968881}}};
constexpr Matrix TRITAN{{{1.255528, -0.076749, -0.178779},
                         {-0.078411, 0.930809, 0.147602},
                         {0.004733, 0.691367, 0.303900}}};
// Linear sRGB to CIE XYZ; its rows' sums are the D65 white.
constexpr Matrix TO_XYZ{{{0.4124564, 0.3575761, 0.1804375},
                         {0.2126729, 0.7151522, 0.0721750},
                         {0.0193339, 0.1191920, 0.9503041}}};

std::array<double, 3> multiply(const Matrix& m, const std::array<double, 3>& v) {
    std::array<double, 3> out{};
    for (std::size_t i = 0; i < 3; ++i) {
        out[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    }
    return out;
}

const Matrix& simulation(View view) {
    switch (view) {
    case View::Protan:
        return PROTAN;
    case View::Deutan:
        return DEUTAN;
    case View::Tritan:
        return TRITAN;
    case View::Normal:
        break;
    }
    return NORMAL;
}

double labCurve(double t) {
    constexpr double d = 6.0 / 29.0;
    return t > d * d * d ? std::cbrt(t) : t / (3 * d * d) + 4.0 / 29.0;
}

bool seeThrough(std::uint32_t rgb) {
    return rgb == 0x00FF00;
}

} // namespace

const char* viewName(View view) {
    constexpr std::array<const char*, 4> names{"normal", "protan", "deutan", "tritan"};
    return names[static_cast<std::size_t>(view)];
}

Linear linear(std::uint32_t rgb) {
    const auto channel = [rgb](int shift) {
        const double c = static_cast<double>((rgb >> shift) & 0xFF) / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return {channel(16), channel(8), channel(0)};
}

Lab seen(Linear colour, View view) {
    std::array<double, 3> rgb = multiply(simulation(view), {colour.r, colour.g, colour.b});
    for (double& c : rgb) {
        c = std::clamp(c, 0.0, 1.0);
    }
    const std::array<double, 3> xyz = multiply(TO_XYZ, rgb);
    const std::array<double, 3> white = multiply(TO_XYZ, {1, 1, 1});
    const double fx = labCurve(xyz[0] / white[0]);
    const double fy = labCurve(xyz[1] / white[1]);
    const double fz = labCurve(xyz[2] / white[2]);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

double deltaE(const Lab& one, const Lab& other) {
    return std::hypot(one.l - other.l, one.a - other.a, one.b - other.b);
}

Linear meanColour(const PixelAt& picture, int w, int h) {
    Linear sum;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Linear c = linear(picture(x, y));
            sum.r += c.r;
            sum.g += c.g;
            sum.b += c.b;
        }
    }
    const double n = static_cast<double>(w) * h;
    return {sum.r / n, sum.g / n, sum.b / n};
}

double cellDistance(const PixelAt& sheet, int ax, int ay, int bx, int by, View view) {
    double sum = 0;
    int count = 0;
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 10; ++x) {
            const std::uint32_t a = sheet(ax + x, ay + y), b = sheet(bx + x, by + y);
            if (!seeThrough(a) && !seeThrough(b)) {
                sum += deltaE(seen(linear(a), view), seen(linear(b), view));
                ++count;
            }
        }
    }
    return count > 0 ? sum / count : 0;
}

std::vector<TeamPair> teamPairs(const PixelAt& sheet) {
    std::vector<TeamPair> pairs;
    for (View view : VIEWS) {
        for (int look = 0; look < 3; ++look) {
            for (int team = 0; team < 8; ++team) {
                for (int other = team + 1; other < 8; ++other) {
                    // A look's standing cell is the first of its three.
                    const double d =
                        cellDistance(sheet, 30 * look, 17 * team, 30 * look, 17 * other, view);
                    pairs.push_back({view, look, team, other, d});
                }
            }
        }
    }
    return pairs;
}

std::vector<BarPixel> barPixels(const PixelAt& sheet, Linear field) {
    std::vector<BarPixel> pixels;
    for (View view : VIEWS) {
        const Lab grass = seen(field, view);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 20; ++x) {
                const double d = deltaE(seen(linear(sheet(x, 136 + y)), view), grass);
                pixels.push_back({view, x, y, d});
            }
        }
    }
    return pixels;
}
