#pragma once

#include "records/RecordsTable.h"

#include <initializer_list>

namespace dvl::test {

// Entry i named prefix + i with the i-th score; missing scores keep 0.
inline RecordsTable MakeTable(std::initializer_list<std::int64_t> scores,
                              const QString& prefix = QStringLiteral("e")) {
    RecordsTable t;
    int i = 1;
    for (const auto s : scores) {
        t.Entry(i).SetName(prefix + QString::number(i));
        t.Entry(i).SetScore(s);
        ++i;
    }
    return t;
}

// The two tables the save loop alternates between: every byte differs in places.
inline RecordsTable LoopTable(int which) {
    return which == 0 ? MakeTable({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, QStringLiteral("Первый"))
                      : MakeTable({-7, 20, 30, 40, 50, 60, 70, 80, 90, 1000000000000},
                                  QStringLiteral("Second player"));
}

} // namespace dvl::test
