// Photographs the game for the README: runs the built game on a private X
// server, lets the men fight a while, and writes its window as a picture.
// Usage: screenshot OUTPUT.png [seconds of play, default 2]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "xdrive/xvfb.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [seconds]\n", argv[0]);
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 2;
    // The game is built beside this tool.
    const std::string game =
        (std::filesystem::canonical("/proc/self/exe").parent_path() / "skirmlings").string();
    Xvfb x;
    TempDir work;
    if (!x.ok()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    GameOnScreen run(x, game, work.path());
    if (!run.waitForWindow() || !run.waitForPictureChange()) {
        std::fprintf(stderr, "the game did not show its window:\n%s", run.output().c_str());
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const std::string dump = work.file("shot.xwd");
    const bool shot = x.client({"xwd", "-silent", "-id", run.window(), "-out", dump}).code == 0 &&
                      runProgram({"/usr/bin/convert", "xwd:" + dump, argv[1]}).code == 0;
    run.quit();
    std::fprintf(stderr, shot ? "wrote %s\n" : "could not photograph the window for %s\n", argv[1]);
    return shot ? 0 : 1;
}
