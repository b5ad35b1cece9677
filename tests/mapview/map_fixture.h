#pragma once
// Hand-made MapData in a temporary app folder, written with the store writers.
#include "state/mdl_main.h"
#include "platform/app_folder.h"
#include "platform/cp932.h"
#include "platform/text_file.h"
#include "store/line_file.h"
#include "store/news_file.h"
#include "store/point_file.h"
#include "store/polygon_file.h"
#include "store/pref_line_file.h"
#include "store/tiku_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class MapFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        miratos::platform::AppFolder::set(dir.path());
        miratos::state::resetMdlMain();
        writeIni(QString());
    }
    void TearDown() override { miratos::platform::AppFolder::set(QString()); }

    void writeIni(const QString& specialLines)
    {
        QFile f(dir.filePath(QStringLiteral("Init.ini")));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(*miratos::platform::toCp932(QStringLiteral("[Pref]\r\n13=東京都\r\n14=神奈川県\r\n[SpecialCoordinate]\r\n") + specialLines));
    }

    QString folder(const QString& pref)
    {
        QDir(dir.path()).mkpath(QStringLiteral("MapData/") + pref);
        return dir.filePath(QStringLiteral("MapData/") + pref + QLatin1Char('/'));
    }

    struct Pref {
        QVector<miratos::store::LineRecord> lines;
        QStringList prefLines;
        QVector<miratos::store::PolygonRecord> polygons;
        QVector<miratos::store::PointRecord> points;
        QVector<miratos::store::TikuRecord> tiku;
        miratos::store::NewsExtent news{139, 140, 35, 36};
    };

    void writePref(int code, const QString& name, const Pref& p)
    {
        const QString f = folder(name);
        ASSERT_TRUE(miratos::store::writeLineFile(f + QStringLiteral("Line.dat"), p.lines).ok());
        ASSERT_TRUE(miratos::store::writePrefLineFile(f + QStringLiteral("PrefLine.dat"), p.prefLines).ok());
        ASSERT_TRUE(miratos::store::writePolygonFile(f + QStringLiteral("Polygon.dat"), p.polygons).ok());
        ASSERT_TRUE(miratos::store::writePointFile(f + QStringLiteral("Point.dat"), p.points).ok());
        ASSERT_TRUE(miratos::store::writeTikuFile(f + QStringLiteral("Tiku.dat"), p.tiku).ok());
        ASSERT_TRUE(miratos::store::writeNewsFile(f + QStringLiteral("NEWS.dat"), p.news).ok());
        select(code, name);
    }

    void select(int code, const QString& name)
    {
        auto& row = miratos::state::mdlMain().PrefTable[static_cast<size_t>(code)];
        row[0] = QStringLiteral("TRUE");
        row[1] = name;
    }

    // Two one-degree square prefectures side by side: 東京都 (139..140) and 神奈川県 (140..141),
    // each one municipality, and an own-data table "面積.csv" of their areas.
    void writeSquarePrefectures()
    {
        for (int code : {13, 14}) {
            const QString pc = QString::number(code);
            const QString west = code == 13 ? QStringLiteral("139") : QStringLiteral("140");
            const QString east = code == 13 ? QStringLiteral("140") : QStringLiteral("141");
            Pref p;
            p.lines = {{pc + QStringLiteral("c1"), QStringLiteral("35 %1 35 %2 36 %2 36 %1 35 %1").arg(west, east)}};
            p.prefLines = {pc + QStringLiteral("c1")};
            p.polygons = {{pc + QStringLiteral("a1"), pc + QStringLiteral("c1")}};
            p.points = {{pc + QStringLiteral("p1"), QStringLiteral("35.5 %1.5").arg(west)}};
            p.tiku = {{pc + QStringLiteral("a1"), QStringLiteral("県@市") + pc, pc + QStringLiteral("101")}};
            p.news = {west.toDouble(), east.toDouble(), 35, 36};
            writePref(code, code == 13 ? QStringLiteral("東京都") : QStringLiteral("神奈川県"), p);
        }
        ASSERT_TRUE(miratos::platform::writeTextLines(dir.filePath(QStringLiteral("面積.csv")),
                                                      {QStringLiteral("Code,地区名,面積(k㎡)"), QStringLiteral("13,東京都,2194"),
                                                       QStringLiteral("14,神奈川県,2416")})
                        .ok());
    }

    QTemporaryDir dir;
};
