// A moment on the computer's clock as the sign's clock command takes it.
#pragma once

#include "glowset/core/text/sign_clock.h"

#include <QDateTime>

namespace glowset {

inline LocalTime localTimeOf(const QDateTime& at) {
    LocalTime t;
    t.year = at.date().year();
    t.month = at.date().month();
    t.day = at.date().day();
    t.hour = at.time().hour();
    t.minute = at.time().minute();
    t.second = at.time().second();
    t.weekday = at.date().dayOfWeek() % 7;  // Qt counts Monday 1 ... Sunday 7
    return t;
}

}  // namespace glowset
