// Drives the records file from a process of its own:
//   records-helper loop DIR    saves two tables alternately until killed
//   records-helper check DIR   loads, prints the effective uid and the first line,
//                              then saves twice and prints "saved" or "failed" for each
#include "records/RecordsFile.h"
#include "tests/records/SampleTables.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: records-helper loop|check DIR\n");
        return 2;
    }
    dvl::RecordsFile file(QString::fromLocal8Bit(argv[2]));
    dvl::RecordsTable table;
    file.Load(table);
    if (std::strcmp(argv[1], "check") == 0) {
        std::printf("%u\n%s\n", unsigned(geteuid()), table.Lines().first().toUtf8().constData());
        for (int i = 0; i < 2; ++i) {
            std::printf("%s\n", file.Save(table) ? "saved" : "failed");
        }
        return 0;
    }
    const dvl::RecordsTable tables[] = {dvl::test::LoopTable(0), dvl::test::LoopTable(1)};
    std::printf("ready\n");
    std::fflush(stdout);
    for (unsigned n = 0;; ++n) {
        file.Save(tables[n & 1]);
    }
}
