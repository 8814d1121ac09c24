#include "support/crowd.h"

#include <cmath>

#include "man/man.h"

namespace {
// A scan made now must list exactly the living others within 100 pixels,
// in id order. (Rescanning rewrites only the list, which every man's own
// next scan rewrites before reading, so the battle goes on unchanged.)
std::string scanFault(Man& m, const Man* men, std::int32_t count) {
    std::int32_t found = -1;
    if (Man_getNeighbors(&m, &found) != 0) {
        return "scan failed";
    }
    std::int32_t expected = 0;
    for (std::int32_t k = 0; k < count; ++k) {
        const Man& o = men[k];
        const float dx = m.x - o.x;
        const float dy = m.y - o.y;
        if (k == m.id || o.dead != 0 || std::sqrt(dx * dx + dy * dy) >= 100.0f) {
            continue;
        }
        if (expected >= found || m.localList[expected] != k) {
            return "neighbour list differs at entry " + std::to_string(expected);
        }
        ++expected;
    }
    return expected == found ? std::string{} : "neighbour list too long";
}

std::string manFault(Man& m, const Man* men, std::int32_t count) {
    if (!(m.x > 1.0f && m.x + 10.0f < 599.0f && m.y > 1.0f && m.y + 17.0f < 399.0f)) {
        return "outside the walking box";
    }
    if (m.direction < 0 || m.direction > 8 || m.animFrame < 0 || m.animFrame > 3) {
        return "direction or frame out of range";
    }
    return scanFault(m, men, count);
}
} // namespace

std::string crowdFault(std::string& deadBefore) {
    std::int32_t count = 0;
    Man* men = Man_getList(&count);
    if (men == nullptr) {
        return "no population";
    }
    deadBefore.resize(static_cast<std::size_t>(count), '0');
    std::int32_t alive = 0;
    for (std::int32_t j = 0; j < count; ++j) {
        Man& m = men[j];
        if (m.id != j) {
            return "man " + std::to_string(j) + " has id " + std::to_string(m.id);
        }
        if (m.dead != 0) {
            deadBefore[static_cast<std::size_t>(j)] = '1';
            continue;
        }
        if (deadBefore[static_cast<std::size_t>(j)] == '1') {
            return "man " + std::to_string(j) + " came back from the dead";
        }
        ++alive;
        const std::string fault = manFault(m, men, count);
        if (!fault.empty()) {
            return "man " + std::to_string(j) + ": " + fault;
        }
    }
    if (alive != Man_getAliveCount()) {
        return "alive count " + std::to_string(Man_getAliveCount()) + " but " +
               std::to_string(alive) + " living";
    }
    return {};
}
