// What the import window lists before anything is written: each of the published downloads is
// recognised as its kind, with its year, places and count, and a run can be cancelled whole.
#include "imports/import_engine.h"
#include "import_fixture.h"
#include "platform/gis_reader.h"

#include <QDirIterator>
#include <QFileInfo>

namespace {

using miratos::imports::ImportInput;
using miratos::imports::InputKind;
using miratos::imports::kindName;
using miratos::imports::recogniseInput;
using miratos::imports::recogniseInputs;

const QString kData = QStringLiteral(MIRATOS_SHARED_DATA);

struct Published {
    const char* file;
    const char* kind;
    const char* year;
    const char* places;
};

TEST(ImportInputs, PublishedDownloadsAreRecognisedWithYearPlacesAndCount)
{
    const Published rows[] = {
        {"n03-2021/geojson/N03-21_13_210101.json", "行政区域", "2021", "東京都"},
        {"n03-2021/topojson/N03-21_47_210101.json", "行政区域", "2021", "沖縄県"},
        {"railway/N05-16_railroad.topojson.json", "鉄道（路線）", "2016", "全国"},
        {"railway/N05-16_station.topojson.json", "鉄道（駅）", "2016", "全国"},
        {"railway/N02-23_Station.shiftjis.geojson", "鉄道（駅）", "2023", "全国"},
        {"facilities-p02-2006/P02-06_13-g_PublicFacility.geojson", "公共施設", "2006", "東京都"},
        {"small-area-itabashi-2015/h27ka13119.shp", "小地域境界", "2015", "東京都 板橋区"},
        {"small-area-itabashi-2015/itabashi_setai.csv", "小地域集計", "", "板橋区"},
        {"census/major_results_2020.csv", "国勢調査結果", "2020", "全国"},
        {"census/c01_prefecture_1920-2015.shiftjis.csv", "都道府県時系列", "1920〜2015", "47 都道府県"},
    };
    if (!QFileInfo::exists(kData))
        GTEST_SKIP() << "shared data absent";
    for (const Published& row : rows) {
        const ImportInput input = recogniseInput(kData + QLatin1Char('/') + QString::fromUtf8(row.file));
        SCOPED_TRACE(row.file);
        EXPECT_EQ(kindName(input.kind).toStdString(), row.kind);
        EXPECT_EQ(input.year.toStdString(), row.year);
        EXPECT_EQ(input.places.toStdString(), row.places);
        EXPECT_TRUE(input.problems.isEmpty()) << input.problems.join('\n').toStdString();
        EXPECT_GT(input.count, 0);
    }
    // The count read from the text is the count GDAL reads.
    const QString tokyo = kData + QStringLiteral("/n03-2021/geojson/N03-21_13_210101.json");
    const auto layers = miratos::platform::readGisFile(tokyo);
    ASSERT_TRUE(layers.ok());
    EXPECT_EQ(recogniseInput(tokyo).count, static_cast<qint64>(layers->front().features.size()));
    EXPECT_EQ(recogniseInput(kData + QStringLiteral("/small-area-itabashi-2015/h27ka13119.shp")).count, 134);
}

TEST(ImportInputs, FolderListsTheShapefileOnceAndNamesWhatItCannotRead)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("download"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/nested")));
    for (const char* name : {"nested/r2ka13119.shp", "nested/r2ka13119.dbf", "nested/r2ka13119.shx", "nested/r2ka13119.prj", "notes.pdf", "plain.pdf"}) {
        QFile f((QString::fromUtf8(name) == QLatin1String("plain.pdf") ? dir.path() : folder) + QLatin1Char('/') + QString::fromUtf8(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    miratos::imports::ExpandedInputs expanded;
    const auto inputs = recogniseInputs({folder, dir.filePath(QStringLiteral("plain.pdf")), dir.filePath(QStringLiteral("missing.geojson"))}, expanded);
    // In a folder only what import reads is listed; a file named on its own is told what it is not.
    ASSERT_EQ(inputs.size(), 3u);
    EXPECT_TRUE(inputs[0].shown.endsWith(QStringLiteral("r2ka13119.shp")));
    EXPECT_TRUE(inputs[1].shown.endsWith(QStringLiteral("plain.pdf")));
    EXPECT_EQ(inputs[1].kind, InputKind::Unknown);
    EXPECT_TRUE(inputs[1].problems.value(0).contains(QStringLiteral("取り込めるのは"))) << inputs[1].problems.join('\n').toStdString();
    EXPECT_TRUE(inputs[2].problems.value(0).contains(QStringLiteral("読めません"))); // the missing file says so
}

class ImportRun : public ImportFolder {};

// Files present in the MapData folder, with their sizes.
QMap<QString, qint64> mapDataFiles(const QString& appFolder)
{
    QMap<QString, qint64> files;
    for (QDirIterator it(appFolder + QStringLiteral("/MapData"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        it.next();
        files.insert(it.filePath(), it.fileInfo().size());
    }
    return files;
}

TEST_F(ImportRun, CancelledRunChangesNoFileAndAFullRunWritesEveryInput)
{
    const QStringList names{"N03-21_13_210101.json", "N03-21_14_210101.json"};
    QStringList paths;
    for (const QString& n : names)
        paths << kData + QStringLiteral("/n03-2021/geojson/") + n;
    if (!QFileInfo::exists(paths.first()))
        GTEST_SKIP() << "shared data absent";
    const QString app = miratos::platform::AppFolder::root();
    const auto before = mapDataFiles(app);
    miratos::imports::ExpandedInputs expanded;
    const auto inputs = recogniseInputs(paths, expanded);

    int steps = 0;
    miratos::imports::ImportHooks hooks;
    hooks.step = [&steps](int done, int) { steps = done; };
    hooks.cancelled = [&steps] { return steps >= 1; };
    const auto cancelled = miratos::imports::runImport(inputs, {}, hooks);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(steps, 1); // stopped after the first input
    EXPECT_EQ(mapDataFiles(app), before);

    hooks.cancelled = {};
    const auto done = miratos::imports::runImport(inputs, {}, hooks);
    EXPECT_FALSE(done.cancelled);
    EXPECT_FALSE(done.failed);
    EXPECT_EQ(steps, 2);
    EXPECT_NE(fileText(QStringLiteral("東京都"), QStringLiteral("Polygon.dat")), "<missing>");
    EXPECT_NE(fileText(QStringLiteral("神奈川県"), QStringLiteral("Polygon.dat")), "<missing>");
}

} // namespace
