// The game's artwork: the tool draws exactly the committed files (it
// refuses art that is not laid out as the game cuts it, or whose teams or
// health strip some players could not tell apart), and its measure of how
// far apart colours look to every eye.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/files.h"
#include "vision.h"

namespace {

TEST(Art, TheToolDrawsExactlyTheCommittedFiles) {
    TempDir out;
    ASSERT_EQ(std::system((SKIRMLINGS_BINARY_DIR "/bin/make_art " + out.path()).c_str()), 0);
    std::vector<std::string> names = {"men.bmp", "back2.bmp", "icons/skirmlings.ico"};
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        names.push_back("icons/skirmlings-" + std::to_string(size) + ".png");
    }
    for (const std::string& name : names) {
        const std::string made = readFile(out.file(name));
        EXPECT_TRUE(!made.empty() && made == readFile(SKIRMLINGS_SOURCE_DIR "/res/" + name))
            << name << ": run the art target";
    }
}

TEST(Art, TheMeasureOfColourKnowsRedAndGrey) {
    EXPECT_LT(deltaE(seen(linear(0xFF0000), View::Normal), {53.24, 80.09, 67.20}), 0.02);
    for (View view : VIEWS) { // a grey looks the same to every eye
        EXPECT_LT(deltaE(seen(linear(0x777777), view), seen(linear(0x777777), View::Normal)), 1e-3);
    }
}

} // namespace
