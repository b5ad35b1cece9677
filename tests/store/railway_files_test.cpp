// The railway files: records counted from the start of each file, the empty RAS line, a cut-off
// last record, the missing-file rule, and the bytes the writer produces.
#include "store/railway_files.h"
#include "store_fixture.h"

#include "platform/cp932.h"

#include <QDir>

using namespace miratos;
using store::RailwayTables;

namespace {

QByteArray cp932(const char* utf8)
{
    return *platform::toCp932(QString::fromUtf8(utf8));
}

} // namespace

using RailwayFiles = StoreFiles;

TEST_F(RailwayFiles, ReadsRecordsByCountingLines)
{
    // The first section has no RAS (empty sixth line), a station name holds spaces, and the last
    // curve record is cut off after its identifier.
    writeBytes(QStringLiteral("Rosen.dat"), cp932("e1\r\ncv_rr1\r\n11\r\n2\r\n山手線\r\n\r\ne2\r\ncv_rr2\r\n12\r\n4\r\n東横線\r\nras2\r\n"));
    writeBytes(QStringLiteral("Eki.dat"), cp932("s1\r\ncv_st1\r\n新 宿 西口\r\n"));
    writeBytes(QStringLiteral("Line_rr.dat"), "cv_rr1\r\n35 139 35.1 139.1\r\ncv_rr2\r\n35.1 139.1 35.2 139.2\r\ncv_rr3\r\n");
    writeBytes(QStringLiteral("Line_st.dat"), "cv_st1\n35.69 139.7 35.691 139.701\n"); // LF only is read too
    const auto read = store::readRailwayFiles(path(QString()));
    ASSERT_TRUE(read.present);
    EXPECT_TRUE(read.problems.isEmpty());
    const RailwayTables& t = read.tables;
    ASSERT_EQ(t.sections.size(), 2u);
    EXPECT_EQ(t.sections[0], (store::RailSectionRow{"e1", "cv_rr1", "11", "2", "山手線", ""}));
    EXPECT_EQ(t.sections[1], (store::RailSectionRow{"e2", "cv_rr2", "12", "4", "東横線", "ras2"}));
    ASSERT_EQ(t.stations.size(), 1u);
    EXPECT_EQ(t.stations[0][2], QStringLiteral("新 宿 西口"));
    ASSERT_EQ(t.railCurves.size(), 3u);
    EXPECT_EQ(t.railCurves[2], (store::CurveRow{"cv_rr3", ""}));
    ASSERT_EQ(t.stationCurves.size(), 1u);
    EXPECT_EQ(t.stationCurves[0][1], QStringLiteral("35.69 139.7 35.691 139.701"));
}

TEST_F(RailwayFiles, WithoutLineRrNothingIsReadAndNothingIsSaid)
{
    writeBytes(QStringLiteral("Eki.dat"), "s1\r\ncv_st1\r\nA\r\n");
    const auto read = store::readRailwayFiles(path(QString()));
    EXPECT_FALSE(read.present);
    EXPECT_TRUE(read.problems.isEmpty());
    EXPECT_TRUE(read.tables.stations.empty());
}

TEST_F(RailwayFiles, AFileMissingNextToLineRrIsNamedOnceAndTheRestIsRead)
{
    writeBytes(QStringLiteral("Line_rr.dat"), "cv_rr1\r\n35 139 35.1 139.1\r\n");
    writeBytes(QStringLiteral("Rosen.dat"), "e1\r\ncv_rr1\r\n11\r\n2\r\nL\r\n\r\n");
    const auto read = store::readRailwayFiles(path(QString()));
    ASSERT_TRUE(read.present);
    ASSERT_EQ(read.problems.size(), 2);
    EXPECT_TRUE(read.problems[0].contains(QStringLiteral("Line_st.dat")));
    EXPECT_TRUE(read.problems[1].contains(QStringLiteral("Eki.dat")));
    EXPECT_EQ(read.tables.railCurves.size(), 1u);
    EXPECT_EQ(read.tables.sections.size(), 1u);
}

TEST_F(RailwayFiles, WritesEveryRecordWithItsLinesAndReadsItBack)
{
    RailwayTables t;
    t.sections = {{"e1", "cv_rr1", "11", "2", "山手線", ""}, {"e2", "cv_rr2", "12", "4", "東横線", "ras2"}};
    t.stations = {{"s1", "cv_st1", "表参道"}};
    t.railCurves = {{"cv_rr1", "35 139 35.1 139.1"}, {"cv_rr2", "35.1 139.1 35.2 139.2"}};
    t.stationCurves = {{"cv_st1", "35.665 139.712 35.666 139.713"}};
    const auto bytes = store::encodeRailwayFiles(t);
    ASSERT_TRUE(bytes) << bytes.error().toStdString();
    EXPECT_EQ(bytes->rosen, cp932("e1\r\ncv_rr1\r\n11\r\n2\r\n山手線\r\n\r\ne2\r\ncv_rr2\r\n12\r\n4\r\n東横線\r\nras2\r\n"));
    EXPECT_EQ(bytes->eki, cp932("s1\r\ncv_st1\r\n表参道\r\n"));
    ASSERT_TRUE(store::writeRailwayFiles(path(QString()), *bytes).ok());
    const auto read = store::readRailwayFiles(path(QString()));
    EXPECT_EQ(read.tables.sections, t.sections);
    EXPECT_EQ(read.tables.stations, t.stations);
    EXPECT_EQ(read.tables.railCurves, t.railCurves);
    EXPECT_EQ(read.tables.stationCurves, t.stationCurves);
}

TEST_F(RailwayFiles, ValuesThatWouldShiftRecordsOrCannotBeWrittenAreRefused)
{
    RailwayTables breaks;
    breaks.stations = {{"s1", "cv_st1", "A\nB"}};
    const auto lineBreak = store::encodeRailwayFiles(breaks);
    ASSERT_FALSE(lineBreak);
    EXPECT_TRUE(lineBreak.error().contains(QStringLiteral("Eki.dat")));

    RailwayTables foreign;
    foreign.sections = {{"e1", "cv_rr1", "11", "2", QStringLiteral("\U0001F683"), ""}};
    const auto notCp932 = store::encodeRailwayFiles(foreign);
    ASSERT_FALSE(notCp932);
    EXPECT_TRUE(notCp932.error().contains(QStringLiteral("Rosen.dat")));

    EXPECT_FALSE(store::writeRailwayFiles(path(QStringLiteral("none")), {}).ok());
}
