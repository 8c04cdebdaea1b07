#pragma once
// The years of competence a window offers.
#include <QDate>
#include <QStringList>

namespace rules {

// "firstYear" … "lastListedYear", then every later year up to the year after today's,
// in order: a window that once offered a fixed range keeps offering it and grows with
// the calendar.
QStringList yearList(int firstYear, int lastListedYear, const QDate& today = QDate::currentDate());

}  // namespace rules
