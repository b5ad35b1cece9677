#pragma once
// Clock and random numbers behind small replaceable functions, so the quiz, the games and the
// random colours can be tested with fixed values.
#include <QDateTime>
#include <functional>

namespace miratos::platform {

// A random number in [0, 1).
double randomUnit();
// Replaces the random source; an empty function restores the default generator.
void setRandomSource(std::function<double()> source);

QDateTime now();
void setClock(std::function<QDateTime()> clock);

} // namespace miratos::platform
