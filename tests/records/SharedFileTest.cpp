// Two games saving one records file, each in a process of its own.
#include "records/RecordsFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A game that has loaded the file and entered a record, waiting to save it.
struct Game {
    QProcess process;
    Game(const QString& dir, const QString& name, int score) {
        process.start(DVL_RECORDS_HELPER, {"enter", dir, name, QString::number(score)});
        EXPECT_TRUE(process.waitForReadyRead(10000) && process.readLine() == "ready\n");
    }
    QByteArray Save() {
        process.write("\n");
        process.waitForFinished(10000);
        return process.readAll();
    }
};

TEST(SharedRecordsFile, TwoGamesKeepBothRecordsInEitherOrder) {
    for (const bool firstSavesFirst : {true, false}) {
        QTemporaryDir dir;
        QFile file(dir.filePath("records.dvl"));
        Game first(dir.path(), "Первый", 30);
        Game second(dir.path(), "Second", 20);
        // The earlier save, with nothing saved before it, writes exactly its game's table.
        dvl::RecordsTable alone;
        alone.SetDefaults();
        alone.Insert(firstSavesFirst ? "Первый" : "Second", firstSavesFirst ? 30 : 20);
        EXPECT_EQ((firstSavesFirst ? first : second).Save(), "saved\n");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray(reinterpret_cast<const char*>(alone.Image().data()),
                                             dvl::RecordsTable::kImageSize));
        file.close();
        EXPECT_EQ((firstSavesFirst ? second : first).Save(), "saved\n");
        dvl::RecordsTable both;
        dvl::RecordsFile(dir.path()).Load(both);
        EXPECT_EQ(both.Lines().mid(0, 3), QStringList({"Second;20", "Первый;30", "Игрок;100"}))
            << "first saves first: " << firstSavesFirst;
    }
}

} // namespace
