// Drives the records file from a process of its own:
//   records-helper loop DIR    saves two tables alternately until killed
//   records-helper check DIR   loads, prints the effective uid and the first line,
//                              then saves twice and prints "saved" or "failed" for each
//   records-helper enter DIR NAME SCORE
//                              loads, enters the record, prints "ready", and saves once
//                              a line comes on stdin, printing "saved" or "failed"; as the
//                              game does, a save that found the file busy is tried again with
//                              the patience of the save at exit
#include "records/RecordsFile.h"
#include "tests/records/SampleTables.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 5 && std::strcmp(argv[1], "enter") == 0)) {
        std::fprintf(stderr, "usage: records-helper loop|check DIR | enter DIR NAME SCORE\n");
        return 2;
    }
    dvl::RecordsFile file(QString::fromLocal8Bit(argv[2]));
    dvl::RecordsTable table;
    file.Load(table);
    if (argc == 5) {
        table.Insert(QString::fromLocal8Bit(argv[3]), std::atoll(argv[4]));
        std::printf("ready\n");
        std::fflush(stdout);
        char line[8];
        const bool go = std::fgets(line, sizeof line, stdin) != nullptr;
        const bool saved =
            go && (file.Save(table) ||
                   (file.Busy() && file.Save(table, dvl::RecordsFile::Patience::AtExit)));
        std::printf("%s\n", saved ? "saved" : "failed");
        return 0;
    }
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
