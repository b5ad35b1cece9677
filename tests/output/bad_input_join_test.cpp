// Inputs that are none of the tables or layers import knows: each says which kinds it knows,
// changes no file that existed and writes nothing outside the app folder.
#include "bad_input_support.h"

using namespace bad_input;

namespace {

const char* const kKnownKinds = "取り込めるのは 行政区域（国土数値情報 N03、TopoJSON、R の maps データベース）、鉄道の路線と駅";

const std::vector<BadInput>& rows()
{
    static const std::vector<BadInput> table = {
        {"import_of_points_of_no_known_layer",
         [](Sandbox& b) {
             return runImport(b.in(QStringLiteral("shops.geojson"),
                                   R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"店名":"x"},)"
                                   R"("geometry":{"type":"Point","coordinates":[139.7,35.6]}}]})"));
         },
         kKnownKinds},
        {"import_of_a_table_of_no_known_kind",
         [](Sandbox& b) { return runImport(b.in(QStringLiteral("own.csv"), "コード,値\n13,1\n")); }, kKnownKinds},
    };
    return table;
}

} // namespace

MIRATOS_BAD_INPUT_TABLE(BadInputJoin);
