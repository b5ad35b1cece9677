#include "platform/seams.h"

#include <QRandomGenerator>

namespace miratos::platform {
namespace {
std::function<double()>& randomSource()
{
    static std::function<double()> source;
    return source;
}
std::function<QDateTime()>& clockSource()
{
    static std::function<QDateTime()> source;
    return source;
}
} // namespace

double randomUnit()
{
    return randomSource() ? randomSource()() : QRandomGenerator::global()->generateDouble();
}

void setRandomSource(std::function<double()> source)
{
    randomSource() = std::move(source);
}

QDateTime now()
{
    return clockSource() ? clockSource()() : QDateTime::currentDateTime();
}

void setClock(std::function<QDateTime()> clock)
{
    clockSource() = std::move(clock);
}

} // namespace miratos::platform
