// What the about window's tests share: its timers run by hand.
#pragma once

#include "about/varin1.h"

#include <QStringList>

// Every timer of the window that is armed, by name.
inline QStringList Armed(const Varin1& w)
{
    const std::pair<const char*, FormTimer*> timers[] = {
        {"Tim", w.Tim},         {"Timer10", w.Timer10}, {"Timer8", w.Timer8},
        {"Timer1", w.Timer1},   {"Timer9", w.Timer9},   {"Timer12", w.Timer12},
        {"Timer2", w.Timer2},   {"Timer13", w.Timer13}, {"Timer14", w.Timer14},
    };
    QStringList armed;
    for (const auto& [name, timer] : timers)
        if (timer->Armed())
            armed << QString::fromLatin1(name);
    return armed;
}

// Fires the timer until it disarms itself; the number of ticks it took.
inline int RunOut(FormTimer* timer, int limit = 1000)
{
    int ticks = 0;
    while (timer->Armed() && ticks < limit) {
        timer->Fire();
        ++ticks;
    }
    return ticks;
}

inline void FinishOpening(Varin1& w)
{
    w.Tim->Fire();
    RunOut(w.Timer10);
    RunOut(w.Timer8);
    RunOut(w.Timer1);
}
