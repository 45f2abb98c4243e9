// Two games saving one records file, each in a process of its own.
#include "records/RecordsFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SharedRecordsFile, TwoGamesKeepBothRecordsInEitherOrder) {
    for (const bool firstSavesFirst : {true, false}) {
        QTemporaryDir dir;
        // Each game loads the file and enters a record, then saves when told to.
        QProcess games[2];
        for (int i = 0; i < 2; ++i) {
            games[i].start(DVL_RECORDS_HELPER,
                           {"enter", dir.path(), i ? "Second" : "Первый", i ? "20" : "30"});
            ASSERT_TRUE(games[i].waitForReadyRead(10000) && games[i].readLine() == "ready\n");
        }
        QProcess& earlier = games[firstSavesFirst ? 0 : 1];
        QProcess& later = games[firstSavesFirst ? 1 : 0];
        // With nothing saved before it, a save writes exactly its game's table.
        dvl::RecordsTable alone;
        alone.SetDefaults();
        alone.Insert(firstSavesFirst ? "Первый" : "Second", firstSavesFirst ? 30 : 20);
        for (QProcess* game : {&earlier, &later}) {
            game->write("\n");
            EXPECT_TRUE(game->waitForFinished(10000) && game->readAll() == "saved\n");
            QFile file(dir.filePath("records.dvl"));
            if (game == &earlier && file.open(QIODevice::ReadOnly)) {
                EXPECT_EQ(file.readAll(),
                          QByteArray(reinterpret_cast<const char*>(alone.Image().data()), 560));
            }
        }
        dvl::RecordsTable both;
        dvl::RecordsFile(dir.path()).Load(both);
        EXPECT_EQ(both.Lines().mid(0, 3), QStringList({"Second;20", "Первый;30", "Игрок;100"}))
            << "first saves first: " << firstSavesFirst;
    }
}
