// Draws the game's two bitmaps, res/men.bmp and res/back2.bmp, and its icon,
// res/icons/skirmlings-SIZE.png for each size and res/icons/skirmlings.ico
// holding them all, from the text pixel art in tools/art/ (men.art,
// field.art and icon.art say how to read them). libpng writes the PNGs and
// icoutils' icotool packs them into the .ico.
//
//   make_art OUTPUT_DIR [ART_DIR]
//
// Both bitmaps are stored as 32-bit pixels 0x00RRGGBB with bit-field masks
// and no alpha mask: SDL reads them in the window surface's own layout, so
// the game's blits are plain copies. The output depends on the art files
// alone.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <png.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include "vision.h"

#ifndef SKIRMLINGS_ART_DIR
#define SKIRMLINGS_ART_DIR "tools/art"
#endif

namespace {

constexpr int CELL_W = 10;
constexpr int CELL_H = 17;
constexpr int STRIP_W = 20;
constexpr char KEEP = '-'; // in overlays: leave the pixel below as it is

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0, a = 255; // a: 0 see-through, 255 solid (icons only)
};
using Palette = std::map<char, Rgb>;
using Grid = std::vector<std::string>;

struct Picture {
    int w, h;
    std::vector<Rgb> px;
    Picture(int width, int height, Rgb fill)
        : w(width), h(height), px(static_cast<std::size_t>(width * height), fill) {}
    Rgb& at(int x, int y) { return px[static_cast<std::size_t>(y * w + x)]; }
    [[nodiscard]] Rgb at(int x, int y) const { return px[static_cast<std::size_t>(y * w + x)]; }
};

// Art files: '#' starts a comment line, blank lines are skipped, and a grid
// is a run of rows given right after its header line.
class ArtFile {
  public:
    explicit ArtFile(const std::string& path) : path_(path) {
        std::ifstream in(path);
        if (!in) {
            fail("cannot read the file");
        }
        int number = 0;
        for (std::string line; std::getline(in, line);) {
            ++number;
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (line.find_first_not_of(" \t") != std::string::npos && line[0] != '#') {
                lines_.push_back(line);
                numbers_.push_back(number);
            }
        }
    }

    [[nodiscard]] bool done() const { return next_ >= lines_.size(); }

    // The next line's words.
    std::istringstream header() { return std::istringstream(lines_[next_++]); }

    // rows rows of exactly width symbols each (width 0: any width, all rows
    // alike, up to a line that reads "end").
    Grid grid(int rows, int width) {
        Grid g;
        while (rows < 0 || static_cast<int>(g.size()) < rows) {
            if (done()) {
                fail("the file ends inside a grid");
            }
            const std::string& row = lines_[next_];
            if (rows < 0 && row == "end") {
                ++next_;
                break;
            }
            const int want = width > 0 ? width
                                       : (g.empty() ? static_cast<int>(row.size())
                                                    : static_cast<int>(g[0].size()));
            if (static_cast<int>(row.size()) != want) {
                fail("a grid row must be " + std::to_string(want) + " symbols wide");
            }
            g.push_back(row);
            ++next_;
        }
        return g;
    }

    [[noreturn]] void fail(const std::string& why) const {
        const std::size_t at = next_ < numbers_.size() ? next_ : numbers_.size();
        std::fprintf(stderr, "%s:%d: %s\n", path_.c_str(), at > 0 ? numbers_[at - 1] : 0,
                     why.c_str());
        std::exit(1);
    }

  private:
    std::string path_;
    std::vector<std::string> lines_;
    std::vector<int> numbers_;
    std::size_t next_ = 0;
};

Rgb readColour(ArtFile& file, std::istringstream& words) {
    int r = -1, g = -1, b = -1;
    words >> r >> g >> b;
    if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) {
        file.fail("a colour is three numbers from 0 to 255");
    }
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
            static_cast<std::uint8_t>(b)};
}

// "colour SYMBOL R G B [note]" into palette; false for another header.
bool readColourLine(ArtFile& file, const std::string& keyword, std::istringstream& words,
                    Palette& palette) {
    if (keyword != "colour") {
        return false;
    }
    std::string symbol;
    words >> symbol;
    if (symbol.size() != 1 || symbol[0] == KEEP) {
        file.fail("a colour's symbol is one character other than '-'");
    }
    palette[symbol[0]] = readColour(file, words);
    return true;
}

Rgb lookUp(ArtFile& file, const Palette& first, const Palette& second, char symbol) {
    for (const Palette* p : {&first, &second}) {
        if (const auto it = p->find(symbol); it != p->end()) {
            return it->second;
        }
    }
    file.fail(std::string("no colour for the symbol '") + symbol + "'");
}

// Lays over (empty, or of the same size) onto base; where is null or names
// the symbols of base that over may replace.
void overlay(Grid& base, const Grid& over, const char* where = nullptr) {
    for (std::size_t y = 0; y < over.size(); ++y) {
        for (std::size_t x = 0; x < base[y].size(); ++x) {
            char& cell = base[y][x];
            const char top = over[y][x];
            if (top != KEEP &&
                (where == nullptr || std::string(where).find(cell) != std::string::npos)) {
                cell = top;
            }
        }
    }
}

// --- The sprite sheet ------------------------------------------------------

struct Team {
    Palette colours;
    Grid pattern;
};

// The drawn sheet, with the colours it was drawn in, for the icon.
struct Sheet {
    Picture pic;
    Palette colours;
    std::vector<Team> teams;
};

Sheet drawSheet(const std::string& path) {
    ArtFile file(path);
    Palette colours;
    std::vector<Team> teams;
    std::vector<Grid> poses;
    std::vector<Grid> looks;
    Grid strip;
    while (!file.done()) {
        std::istringstream words = file.header();
        std::string keyword;
        words >> keyword;
        if (readColourLine(file, keyword, words, teams.empty() ? colours : teams.back().colours)) {
            continue;
        }
        if (keyword == "team") {
            teams.push_back({});
        } else if (keyword == "pattern" && !teams.empty()) {
            teams.back().pattern = file.grid(CELL_H, CELL_W);
        } else if (keyword == "pose") {
            poses.push_back(file.grid(CELL_H, CELL_W));
        } else if (keyword == "look") {
            looks.push_back(file.grid(CELL_H, CELL_W));
        } else if (keyword == "strip") {
            strip = file.grid(2, STRIP_W);
        } else {
            file.fail("unknown line: " + keyword);
        }
    }
    if (teams.size() != 8 || poses.size() != 3 || looks.size() != 3 || strip.empty()) {
        file.fail("the sheet needs 8 teams, 3 poses, 3 looks and the strip");
    }

    const Rgb clear = lookUp(file, colours, {}, '.');
    Picture sheet(3 * 3 * CELL_W, 8 * CELL_H + 2, clear);
    for (std::size_t t = 0; t < teams.size(); ++t) {
        for (std::size_t v = 0; v < looks.size(); ++v) {
            for (std::size_t p = 0; p < poses.size(); ++p) {
                Grid cell = poses[p];
                overlay(cell, looks[v]);
                overlay(cell, teams[t].pattern, "TtbD");
                const int left = static_cast<int>((3 * v + p) * CELL_W);
                const int top = static_cast<int>(t * CELL_H);
                for (int y = 0; y < CELL_H; ++y) {
                    for (int x = 0; x < CELL_W; ++x) {
                        const char s =
                            cell[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                        sheet.at(left + x, top + y) = lookUp(file, teams[t].colours, colours, s);
                    }
                }
            }
        }
    }
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < STRIP_W; ++x) {
            const char s = strip[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            sheet.at(x, 8 * CELL_H + y) = lookUp(file, colours, {}, s);
        }
    }
    return {sheet, colours, teams};
}

// --- The field -------------------------------------------------------------

// A small fixed generator, so that the field comes out the same everywhere.
class Dice {
  public:
    explicit Dice(std::uint64_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

  private:
    std::uint64_t state_;
};

struct Stamp {
    int count;
    Grid grid;
};

// Soft patches: a coarse lattice of random heights 0..255, blended linearly
// in whole numbers between its points.
std::vector<int> patches(int w, int h, int spacing, Dice& dice) {
    const int cols = w / spacing + 2, rows = h / spacing + 2;
    std::vector<int> lattice(static_cast<std::size_t>(cols * rows));
    for (int& v : lattice) {
        v = dice.below(256);
    }
    auto node = [&](int cx, int cy) { return lattice[static_cast<std::size_t>(cy * cols + cx)]; };
    std::vector<int> out(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int cx = x / spacing, cy = y / spacing;
            const int fx = x % spacing, fy = y % spacing, s = spacing;
            const int top = node(cx, cy) * (s - fx) + node(cx + 1, cy) * fx;
            const int bottom = node(cx, cy + 1) * (s - fx) + node(cx + 1, cy + 1) * fx;
            out[static_cast<std::size_t>(y * w + x)] = (top * (s - fy) + bottom * fy) / (s * s);
        }
    }
    return out;
}

Picture drawField(const std::string& path) {
    ArtFile file(path);
    Palette colours;
    std::string shades;
    int w = 0, h = 0, spacing = 0, fine = 0, grain = 0;
    std::uint64_t seed = 0;
    std::vector<Stamp> stamps;
    while (!file.done()) {
        std::istringstream words = file.header();
        std::string keyword;
        words >> keyword;
        if (readColourLine(file, keyword, words, colours)) {
            continue;
        }
        if (keyword == "size") {
            words >> w >> h;
        } else if (keyword == "seed") {
            words >> seed;
        } else if (keyword == "ground") {
            words >> shades >> spacing >> fine >> grain;
        } else if (keyword == "stamp") {
            Stamp stamp{0, {}};
            words >> stamp.count;
            stamp.grid = file.grid(-1, 0);
            stamps.push_back(stamp);
        } else {
            file.fail("unknown line: " + keyword);
        }
    }
    if (w <= 0 || h <= 0 || shades.empty() || spacing <= 0 || fine <= 0 || grain < 0) {
        file.fail("the field needs its size and its ground");
    }

    Dice dice(seed);
    // Broad patches with finer ones over them, two parts to one.
    const std::vector<int> broad = patches(w, h, spacing, dice);
    const std::vector<int> detail = patches(w, h, fine, dice);
    const int n = static_cast<int>(shades.size());
    Picture field(w, h, {});
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            // The patch height picks a shade; grain jitters it pixel by pixel.
            const int jitter = grain > 0 ? dice.below(2 * grain + 1) - grain : 0;
            const auto i = static_cast<std::size_t>(y * w + x);
            int level = ((2 * broad[i] + detail[i]) / 3 + jitter) * n / 256;
            level = level < 0 ? 0 : (level >= n ? n - 1 : level);
            field.at(x, y) = lookUp(file, colours, {}, shades[static_cast<std::size_t>(level)]);
        }
    }
    for (const Stamp& stamp : stamps) {
        const int sw = static_cast<int>(stamp.grid[0].size());
        const int sh = static_cast<int>(stamp.grid.size());
        for (int i = 0; i < stamp.count; ++i) {
            const int left = dice.below(w - sw + 1), top = dice.below(h - sh + 1);
            for (int y = 0; y < sh; ++y) {
                for (int x = 0; x < sw; ++x) {
                    const char s =
                        stamp.grid[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                    if (s != KEEP) {
                        field.at(left + x, top + y) = lookUp(file, colours, {}, s);
                    }
                }
            }
        }
    }
    return field;
}

// --- The icon --------------------------------------------------------------

struct Icon {
    int size;
    Picture pic;
};

// Copies the w x h block of from at sx, sy onto to at x, y, leaving out the
// sheet's see-through colour.
void paste(Picture& to, const Picture& from, int sx, int sy, int w, int h, int x, int y,
           Rgb clear) {
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const Rgb c = from.at(sx + i, sy + j);
            if ((c.r != clear.r || c.g != clear.g || c.b != clear.b) && x + i >= 0 &&
                x + i < to.w && y + j >= 0 && y + j < to.h) {
                to.at(x + i, y + j) = c;
            }
        }
    }
}

// Each size is drawn pixel by pixel, or scaled up whole from a smaller one,
// so that every size stays crisp.
std::vector<Icon> drawIcons(const std::string& path, const Sheet& sheet, const Picture& field) {
    ArtFile file(path);
    const Rgb clear = lookUp(file, sheet.colours, {}, '.');
    std::vector<Icon> icons;
    const auto find = [&](int size) -> const Icon& {
        for (const Icon& icon : icons) {
            if (icon.size == size) {
                return icon;
            }
        }
        file.fail("no icon of size " + std::to_string(size) + " drawn above");
    };
    const auto team = [&](int t) -> const Team& {
        if (t < 0 || t >= static_cast<int>(sheet.teams.size())) {
            file.fail("no team " + std::to_string(t));
        }
        return sheet.teams[static_cast<std::size_t>(t)];
    };
    while (!file.done()) {
        std::istringstream words = file.header();
        std::string keyword;
        int a = -1, b = -1, c = -1, d = -1, e = -1;
        words >> keyword >> a >> b >> c >> d >> e;
        if (keyword == "icon" || keyword == "scale") {
            if (a < 1 || a > 256) {
                file.fail("an icon is 1 to 256 pixels wide");
            }
            Picture pic(a, a, {0, 0, 0, 0});
            if (keyword == "scale") {
                const Icon& from = find(b);
                if (a % b != 0) {
                    file.fail("an icon scales up by a whole factor");
                }
                for (int i = 0; i < a * a; ++i) {
                    pic.at(i % a, i / a) = from.pic.at(i % a / (a / b), i / a / (a / b));
                }
            }
            icons.push_back({a, pic});
            continue;
        }
        if (icons.empty()) {
            file.fail("an icon's size comes first");
        }
        Picture& pic = icons.back().pic;
        if (keyword == "disc" && a > 0 && b >= 0 && c >= 0 && b + pic.w <= field.w &&
            c + pic.h <= field.h && d >= 0) {
            // Grass cut from the field at b, c, round and ringed d pixels
            // deep in the outline's colour. Distances are in half pixels
            // from the middle.
            const Rgb rim = lookUp(file, sheet.colours, {}, 'o');
            for (int y = 0; y < pic.h; ++y) {
                for (int x = 0; x < pic.w; ++x) {
                    const int dx = 2 * x + 1 - pic.w, dy = 2 * y + 1 - pic.h;
                    const int far = dx * dx + dy * dy;
                    if (far <= 4 * a * a) {
                        pic.at(x, y) = far > 4 * (a - d) * (a - d) ? rim : field.at(b + x, c + y);
                    }
                }
            }
        } else if (keyword == "man" && b >= 0 && b < 3 && c >= 0 && c < 3) {
            team(a);
            paste(pic, sheet.pic, (3 * b + c) * CELL_W, a * CELL_H, CELL_W, CELL_H, d, e, clear);
        } else if (keyword == "bar" && a > 0 && a <= STRIP_W && b > 0 && b <= 2) {
            paste(pic, sheet.pic, 0, 8 * CELL_H, a, b, c, d, clear);
        } else if (keyword == "figure") {
            const Team& colours = team(a);
            const Grid grid = file.grid(-1, 0);
            for (std::size_t y = 0; y < grid.size(); ++y) {
                for (std::size_t x = 0; x < grid[y].size(); ++x) {
                    const int px = b + static_cast<int>(x), py = c + static_cast<int>(y);
                    if (grid[y][x] != '.' && px >= 0 && px < pic.w && py >= 0 && py < pic.h) {
                        pic.at(px, py) = lookUp(file, colours.colours, sheet.colours, grid[y][x]);
                    }
                }
            }
        } else {
            file.fail("unknown or out-of-range line: " + keyword);
        }
    }
    return icons;
}

// --- Output ----------------------------------------------------------------

void putLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

bool writeFile(const std::string& path, const std::string& data) {
    std::ofstream file(path, std::ios::binary);
    file.write(data.data(), static_cast<std::streamsize>(data.size()));
    file.close();
    if (data.empty() || !file) {
        std::fprintf(stderr, "make_art: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// An indexed picture as libpng takes it: a byte a pixel into a palette
// whose see-through colours come first, so their alphas alone are stored.
struct Indexed {
    std::vector<png_color> palette;
    std::vector<png_byte> alpha;
    std::vector<png_byte> pixels;
    std::vector<png_bytep> rows;
};

void appendPng(png_structp png, png_bytep data, std::size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

// libpng jumps back here when it fails, so this frame holds nothing that
// needs destroying. False then.
bool encode(png_structp png, png_infop info, int w, int h, Indexed& image, std::string* out) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_write_fn(png, out, appendPng, [](png_structp) {});
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
    if (!image.alpha.empty()) {
        png_set_tRNS(png, info, image.alpha.data(), static_cast<int>(image.alpha.size()), nullptr);
    }
    png_set_compression_level(png, Z_BEST_COMPRESSION);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_rows(png, info, image.rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

// An indexed PNG with see-through pixels, compressed by libpng with fixed
// settings and no time stamp, so the same art gives the same bytes. Empty
// for over 256 colours or when libpng fails.
std::string png(const Picture& pic) {
    const auto key = [](Rgb c) {
        return static_cast<std::uint32_t>(c.a << 24 | c.r << 16 | c.g << 8 | c.b);
    };
    std::map<std::uint32_t, png_byte> index; // in colour order, see-through first
    for (const Rgb& c : pic.px) {
        index[key(c)] = 0;
    }
    if (index.size() > 256) {
        return {};
    }
    Indexed image;
    for (auto& [colour, i] : index) {
        i = static_cast<png_byte>(image.palette.size());
        image.palette.push_back({static_cast<png_byte>(colour >> 16),
                                 static_cast<png_byte>(colour >> 8),
                                 static_cast<png_byte>(colour)});
        if (colour >> 24 != 255) {
            image.alpha.push_back(static_cast<png_byte>(colour >> 24));
        }
    }
    for (const Rgb& c : pic.px) {
        image.pixels.push_back(index[key(c)]);
    }
    for (int y = 0; y < pic.h; ++y) {
        image.rows.push_back(&image.pixels[static_cast<std::size_t>(y * pic.w)]);
    }
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool ok = info != nullptr && encode(png, info, pic.w, pic.h, image, &out);
    png_destroy_write_struct(&png, &info);
    return ok ? out : std::string();
}

// icoutils' icotool packs the PNG files, as they are, into a Windows icon.
bool writeIco(const std::string& path, const std::vector<std::string>& pngs) {
    std::vector<std::string> args = {"icotool", "--create", "--output=" + path};
    for (const std::string& p : pngs) {
        args.push_back("--raw=" + p);
    }
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "make_art: icotool (icoutils) could not write %s\n", path.c_str());
        return false;
    }
    return true;
}

// A bottom-up BMP of 32-bit pixels with red, green and blue masks and no
// alpha: the layout of the game window's surface.
bool writeBmp(const std::string& path, const Picture& pic) {
    constexpr std::uint32_t HEADERS = 14 + 40 + 12;
    const auto size = static_cast<std::uint32_t>(4 * pic.w * pic.h);
    std::string out;
    out += "BM";
    putLe(out, HEADERS + size, 4);
    putLe(out, 0, 4);
    putLe(out, HEADERS, 4);
    putLe(out, 40, 4);
    putLe(out, static_cast<std::uint32_t>(pic.w), 4);
    putLe(out, static_cast<std::uint32_t>(pic.h), 4);
    putLe(out, 1, 2);  // planes
    putLe(out, 32, 2); // bits per pixel
    putLe(out, 3, 4);  // bit fields
    putLe(out, size, 4);
    putLe(out, 2835, 4); // 72 pixels per inch, both ways
    putLe(out, 2835, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    putLe(out, 0x00FF0000, 4);
    putLe(out, 0x0000FF00, 4);
    putLe(out, 0x000000FF, 4);
    for (int y = pic.h - 1; y >= 0; --y) {
        for (int x = 0; x < pic.w; ++x) {
            const Rgb c = pic.at(x, y);
            putLe(out, static_cast<std::uint32_t>(c.r << 16 | c.g << 8 | c.b), 4);
        }
    }
    return writeFile(path, out);
}

// --- How the teams and the bar read ---------------------------------------

// One line a view: the two teams that look most alike and the strip's pixel
// nearest the grass, marked where they fall short. True when nothing does.
bool report(Picture& sheet, Picture& field) {
    const auto pixels = [](Picture& pic) {
        return [&pic](int x, int y) {
            const Rgb c = pic.at(x, y);
            return static_cast<std::uint32_t>(c.r << 16 | c.g << 8 | c.b);
        };
    };
    const std::vector<TeamPair> pairs = teamPairs(pixels(sheet));
    const std::vector<BarPixel> bar =
        barPixels(pixels(sheet), meanColour(pixels(field), field.w, field.h));
    std::printf("view    closest teams (standing)  health strip from the grass\n");
    bool apart = true;
    for (View view : VIEWS) {
        const auto least = [view](const auto& all) {
            auto best = all.end();
            for (auto it = all.begin(); it != all.end(); ++it) {
                if (it->view == view && (best == all.end() || it->distance < best->distance)) {
                    best = it;
                }
            }
            return *best;
        };
        const TeamPair p = least(pairs);
        const BarPixel b = least(bar);
        std::printf("%-7s %5.1f%s teams %d and %d, look %d   %5.1f%s at %d,%d\n", viewName(view),
                    p.distance, p.distance < TEAMS_APART ? "!" : " ", p.team, p.other, p.look,
                    b.distance, b.distance < BAR_APART ? "!" : " ", b.x, b.y);
        apart = apart && p.distance >= TEAMS_APART && b.distance >= BAR_APART;
    }
    return apart;
}

// Whether the art is laid out as the game cuts it: 72 cells, each a figure
// with see-through corners, above an unbroken health strip, and a 600 x 400
// field with no see-through pixel.
bool laidOut(const Picture& sheet, const Picture& field) {
    const auto greens = [](const Picture& pic, int x, int y, int w, int h) {
        int count = 0;
        for (int i = 0; i < w * h; ++i) {
            const Rgb c = pic.at(x + i % w, y + i / w);
            count += c.r == 0 && c.g == 255 && c.b == 0 ? 1 : 0;
        }
        return count;
    };
    bool ok = sheet.w >= 9 * CELL_W && sheet.h >= 8 * CELL_H + 2 && field.w == 600 &&
              field.h == 400 && greens(field, 0, 0, 600, 400) == 0 &&
              greens(sheet, 0, 8 * CELL_H, STRIP_W, 2) == 0;
    for (int cell = 0; ok && cell < 72; ++cell) {
        const int x = cell % 9 * CELL_W, y = cell / 9 * CELL_H;
        ok = greens(sheet, x, y, CELL_W, CELL_H) <= CELL_W * CELL_H * 2 / 3 &&
             greens(sheet, x, y, 1, 1) + greens(sheet, x + CELL_W - 1, y + CELL_H - 1, 1, 1) == 2;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_art OUTPUT_DIR [ART_DIR]\n");
        return 2;
    }
    const std::string out = std::string(argv[1]) + "/";
    const std::string art = std::string(argc > 2 ? argv[2] : SKIRMLINGS_ART_DIR) + "/";
    Sheet sheet = drawSheet(art + "men.art");
    Picture field = drawField(art + "field.art");
    const std::vector<Icon> icons = drawIcons(art + "icon.art", sheet, field);
    // Art that some players could not read, or the game could not cut, is
    // not written.
    if (!report(sheet.pic, field)) {
        std::fprintf(stderr, "make_art: the art marked ! is too alike to tell apart\n");
        return 1;
    }
    if (!laidOut(sheet.pic, field)) {
        std::fprintf(stderr,
                     "make_art: the sheet or the field is not laid out as the game cuts it\n");
        return 1;
    }
    bool ok = writeBmp(out + "men.bmp", sheet.pic) && writeBmp(out + "back2.bmp", field);
    std::error_code error;
    std::filesystem::create_directories(out + "icons", error);
    std::vector<std::string> pngs;
    for (const Icon& icon : icons) {
        pngs.push_back(out + "icons/skirmlings-" + std::to_string(icon.size) + ".png");
        ok = writeFile(pngs.back(), png(icon.pic)) && ok;
    }
    return ok && writeIco(out + "icons/skirmlings.ico", pngs) ? 0 : 1;
}
