#include "rules/Anos.h"

#include <algorithm>

namespace rules {

QStringList yearList(int firstYear, int lastListedYear, const QDate& today)
{
    const int last = std::max(lastListedYear, today.year() + 1);
    QStringList years;
    for (int y = firstYear; y <= last; ++y)
        years << QString::number(y);
    return years;
}

}  // namespace rules
