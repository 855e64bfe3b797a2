// Reads an exported workbook back with an independent reader (python3-xlrd,
// through dump_workbook.py): every cell by (sheet, row, column).
#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

// xlrd's cell types.
inline constexpr int kEmpty = 0;
inline constexpr int kText = 1;
inline constexpr int kNumber = 2;
inline constexpr int kDate = 3;

struct ReadCell {
    int type;
    QJsonValue value;
    QString format;
};

inline std::map<std::tuple<int, int, int>, ReadCell> ReadWorkbook(const std::string& path)
{
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(LUMBREL_SOURCE_DIR "/tests/window/dump_workbook.py"), QString::fromStdString(path)});
    EXPECT_TRUE(reader.waitForFinished(60000));
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    std::map<std::tuple<int, int, int>, ReadCell> cells;
    for (const QByteArray& line : reader.readAllStandardOutput().split('\n')) {
        if (line.isEmpty()) continue;
        const QJsonArray cell = QJsonDocument::fromJson(line).array();
        cells[{cell[0].toInt(), cell[1].toInt(), cell[2].toInt()}] =
            ReadCell{cell[3].toInt(), cell[4], cell[5].toString()};
    }
    return cells;
}

