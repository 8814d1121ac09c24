#include "game/game.h"

int main(int, char**) {
    return WinMain(nullptr, nullptr, nullptr, 0);
}
