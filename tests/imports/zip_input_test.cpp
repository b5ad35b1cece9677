// "miratos import" of zips as the government and e-Stat publish them, and of folders: members in
// subfolders and with CP932 names, one format taken of the same data, the same MapData files as
// the unzipped input.
#include "../convert/boundary_fixture.h"
#include "cli/import_command.h"
#include "imports/zip_input.h"
#include "platform/cp932.h"
#include "platform/gis_reader.h"
#include "zip_writer.h"

#include <QDirIterator>
#include <QMap>
#include <cpl_conv.h>

using namespace miratos;

namespace {


QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// Two wards of 東京都 side by side, as N03 GeoJSON.
const QByteArray kWards = R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"N03_001":"東京都","N03_002":null,"N03_003":null,"N03_004":"千代田区","N03_007":"13101"},
 "geometry":{"type":"Polygon","coordinates":[[[139,35],[139.5,35],[139.5,36],[139,36],[139,35]]]}},
{"type":"Feature","properties":{"N03_001":"東京都","N03_002":null,"N03_003":null,"N03_004":"中央区","N03_007":"13102"},
 "geometry":{"type":"Polygon","coordinates":[[[139.5,35],[140,35],[140,36],[139.5,36],[139.5,35]]]}}]})";

class ZipImport : public BoundaryFolder {
protected:
    int runImport(const QStringList& files)
    {
        m_out.clear();
        m_err.clear();
        QTextStream out(&m_out), err(&m_err);
        return cli::runImportCommand(files, out, err);
    }
    std::string out() const { return m_out.toStdString(); }
    std::string err() const { return m_err.toStdString(); }

    // Relative path -> bytes of every file under MapData; then MapData is emptied for the next run.
    QMap<QString, QByteArray> takeMapData()
    {
        QMap<QString, QByteArray> files;
        const QString mapData = path(QStringLiteral("MapData"));
        QDirIterator it(mapData, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            files.insert(QDir(mapData).relativeFilePath(file), fileBytes(file));
        }
        EXPECT_TRUE(QDir(mapData).removeRecursively());
        EXPECT_TRUE(QDir().mkpath(tokyoFolder()));
        return files;
    }

    QString m_out, m_err;
};

// The government's zip holds the same data as GeoJSON, Shapefile and GML beside its metadata:
// GeoJSON is read and the others named as skipped (they are junk here, so reading one fails).
TEST_F(ZipImport, SameDataInSeveralFormatsIsReadOnceAsGeoJsonAndGivesTheFilesOfTheUnzippedFile)
{
    const QString plain = inputFile(QStringLiteral("N03-20240101_13.geojson"), kWards);
    ASSERT_EQ(runImport({plain}), 0) << err();
    const auto unzipped = takeMapData();
    ASSERT_TRUE(unzipped.contains(QStringLiteral("東京都/Polygon.dat")));

    const QString zip = path(QStringLiteral("変換フォルダ/N03-20240101_13_GML.zip"));
    writeZip(zip, {{"KS-META-N03-20240101_13.xml", "<meta/>"},
                   {"N03-20240101_13.geojson", kWards},
                   {"N03-20240101_13.shp", "not a shapefile"},
                   {"N03-20240101_13.dbf", "not a table"},
                   {"N03-20240101_13.xml", "<not-gml/>"}});
    ASSERT_EQ(runImport({zip}), 0) << err();
    EXPECT_NE(out().find("注意: " + QDir::toNativeSeparators(zip).toStdString()
                         + ": N03-20240101_13.geojson を取り込みます（同じデータの .shp・.xml は飛ばしました）"),
              std::string::npos)
        << out();
    EXPECT_NE(out().find("N03-20240101_13_GML.zip の N03-20240101_13.geojson: 2 市区町村"), std::string::npos) << out();
    EXPECT_EQ(takeMapData(), unzipped);
}

// Members in subfolders, and names stored as CP932 bytes without the UTF-8 flag: read, and named
// in the messages as the zip's member.
TEST_F(ZipImport, MembersInFoldersAndWithCp932NamesAreReadAndNamed)
{
    const QString cp932Name = QStringLiteral("東京都/行政区域/境界.geojson");
    const QByteArray cp932Bytes = platform::toCp932(cp932Name).value();
    ASSERT_NE(cp932Bytes, cp932Name.toUtf8());
    const struct {
        QByteArray stored;
        QString shown;
    } cases[] = {
        {"N03-20240101_13_GML/data/2024/N03-20240101_13.geojson", QStringLiteral("N03-20240101_13_GML/data/2024/N03-20240101_13.geojson")},
        {cp932Bytes, cp932Name},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        const QString zip = path(QStringLiteral("変換フォルダ/download.zip"));
        QFile::remove(zip);
        writeZip(zip, {{c.stored, kWards}});
        ASSERT_EQ(runImport({zip}), 0) << err();
        EXPECT_NE(out().find(("download.zip の " + c.shown + ": 読んでいます").toStdString()), std::string::npos) << out();
        const auto files = takeMapData();
        EXPECT_TRUE(platform::fromCp932(files.value(QStringLiteral("東京都/Tiku.dat"))).contains(QStringLiteral("東京都@中央区")));
    }
}

// e-Stat's downloads: a zip of the boundary shapefile set r2ka13119.* (the year 2020 is in the
// member's name only) and a zip of today's table for the same ward.
TEST_F(ZipImport, EStatShapefileSetAndTableZipsImportAsTheYearOfTheMemberName)
{
    const QByteArray area = R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{
        "KEN":"13","CITY":"119","KEYCODE2":"119001001","HCODE":"8101","AREA":"12.5","AREA_MAX_F":"M","MOJI":"板橋１丁目",
        "X_CODE":"139.7","Y_CODE":"35.75","GST_NAME":"板橋区","CSS_NAME":""},
        "geometry":{"type":"Polygon","coordinates":[[[139.69,35.74],[139.71,35.74],[139.71,35.76],[139.69,35.74]]]}}]})";
    const QString source = inputFile(QStringLiteral("area.geojson"), area);
    QTemporaryDir made;
    ASSERT_TRUE(platform::translateGisFile(source, made.filePath(QStringLiteral("r2ka13119.shp")), QStringLiteral("ESRI Shapefile"),
                                          {QStringLiteral("-lco"), QStringLiteral("ENCODING=CP932")})
                    .ok());
    QList<Member> set;
    for (const char* suffix : {".shp", ".dbf", ".shx", ".prj"})
        set.append({QByteArray("r2ka13119") + suffix, fileBytes(made.filePath(QStringLiteral("r2ka13119") + QLatin1String(suffix)))});
    const QString shapes = path(QStringLiteral("変換フォルダ/shapes.zip"));
    writeZip(shapes, set);

    const QStringList lines{QStringLiteral("KEY_CODE,HYOSYO,CITYNAME,NAME,HTKSYORI,HTKSAKI,GASSAN,T001082001,T001082002,T001082003,T001082004"),
                            QStringLiteral(",,,,,,,人口総数,男,女,世帯総数"), QStringLiteral("13119,1,板橋区,,,,,584483,285000,299483,300000"),
                            QStringLiteral("13119001001,3,板橋区,板橋１丁目,,,,1200,600,600,700")};
    const QString tables = path(QStringLiteral("変換フォルダ/tables.zip"));
    writeZip(tables, {{"tblT001082C13.txt", platform::toCp932(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).value()}});

    ASSERT_EQ(runImport({shapes, tables}), 0) << err();
    EXPECT_NE(fileText(QStringLiteral("32_13119_板橋区.dat")), "<missing>") << out();
    EXPECT_EQ(fileText(QStringLiteral("32_13119_statistic1.csv")), "Code,地区名,人口総数,男,女,世帯総数\r\n"
                                                                   "13119,板橋区,584483,285000,299483,300000\r\n"
                                                                   "13119001001,板橋区・板橋１丁目,1200,600,600,700\r\n")
        << out();
}

// A folder is walked with its subfolders, zips in it included; files of other kinds are passed
// over, the same data in two formats read once.
TEST(ZipInputTest, FolderIsWalkedAndOneFormatChosenOfTheSameData)
{
    QTemporaryDir dir;
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("a/b")));
    for (const char* name : {"a/b/X.shp", "a/b/X.dbf", "a/X.geojson", "a/readme.pdf", "tbl.txt", "Y.xml"}) {
        QFile f(root.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    writeZip(root.filePath(QStringLiteral("a/z.zip")), {{"Z.gml", "<x/>"}});
    auto expanded = std::make_unique<imports::ExpandedInputs>(imports::expandInputs({dir.path()}));
    const imports::ExpandedInputs& inputs = *expanded;
    EXPECT_TRUE(inputs.errors.isEmpty()) << inputs.errors.join(u'\n').toStdString();
    ASSERT_EQ(inputs.paths.size(), 4) << inputs.paths.join(u'\n').toStdString();
    EXPECT_EQ(inputs.paths.mid(0, 3), (QStringList{root.filePath(QStringLiteral("Y.xml")), root.filePath(QStringLiteral("a/X.geojson")),
                                                   root.filePath(QStringLiteral("tbl.txt"))}));
    EXPECT_TRUE(inputs.paths.at(3).endsWith(QStringLiteral("/Z.gml")));
    EXPECT_EQ(inputs.shown(inputs.paths.at(3)), QDir::toNativeSeparators(root.filePath(QStringLiteral("a/z.zip"))) + QStringLiteral(" の Z.gml"));
    ASSERT_EQ(inputs.notes.size(), 1);
    EXPECT_TRUE(inputs.notes.first().endsWith(QStringLiteral("X.geojson を取り込みます（同じデータの .shp は飛ばしました）")))
        << inputs.notes.first().toStdString();
    // The copies go with the inputs.
    const QString copy = inputs.paths.at(3);
    ASSERT_TRUE(QFileInfo::exists(copy));
    expanded.reset();
    EXPECT_FALSE(QFileInfo::exists(copy));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(copy).absolutePath()));
}

} // namespace
