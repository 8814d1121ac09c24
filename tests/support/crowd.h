// What must hold for the crowd after every tick, whatever the battle does.
#pragma once

#include <string>

// Empty when the population is sound; otherwise what is wrong: a living man
// outside the walking box, a wrong count of the living, a dead man come
// back (deadBefore holds who was dead after the previous check and is
// updated), or a neighbour scan that does not list exactly the living
// others within 100 pixels in id order.
std::string crowdFault(std::string& deadBefore);
