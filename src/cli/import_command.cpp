#include "cli/import_command.h"

#include "convert/small_area_converter.h"
#include "imports/import_engine.h"
#include "imports/zip_input.h"
#include "platform/number_text.h"

#include <QDir>

namespace miratos::cli {
namespace {

// Snapping tolerance of "--snap" (degrees) when none is given: about 0.1 m, well below the
// precision of the published boundaries and well above the rounding of their digits.
constexpr double kDefaultSnap = 1e-6;

} // namespace

int runImportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList files;
    imports::ImportOptions options;
    int year = 0; // --year YYYY (or YY): the census year of small-area boundaries and tables
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--snap")) {
            options.gis.snapTolerance = kDefaultSnap;
        } else if (a.startsWith(QLatin1String("--snap="))) {
            const auto value = platform::toNumber(a.mid(7));
            if (!value || !(*value >= 0) || *value > 1) {
                err << "miratos import: " << a << ": 許容差は 0〜1 の度数で指定してください\n";
                return 2;
            }
            options.gis.snapTolerance = *value;
        } else if (a == QLatin1String("--year")) {
            bool ok = false;
            year = i + 1 < arguments.size() ? arguments.at(++i).toInt(&ok) : 0;
            if (!ok || year <= 0) {
                err << "miratos import: --year には調査年（2015 か 27 の形）を指定してください\n";
                return 2;
            }
            options.year = year > 1900 ? convert::twoDigitCensusYear(year) : year;
        } else {
            files << a;
        }
    }
    if (files.isEmpty()) {
        err << "usage: miratos import [--app-folder DIR] [--snap[=DEGREES]] [--year YEAR] FILE...\n";
        return 2;
    }
    // Zips and folders become the files in them; messages name a zip's member as "ZIP の member".
    const imports::ExpandedInputs expanded = imports::expandInputs(files);
    imports::ImportHooks hooks;
    hooks.progress = [&out, &expanded](const QString& line) {
        out << expanded.shown(line) << "\n";
        out.flush();
    };
    hooks.problem = [&err, &expanded](const QString& message) { err << "miratos import: " << expanded.shown(message) << "\n"; };
    for (const QString& error : expanded.errors)
        hooks.problem(error);
    for (const QString& note : expanded.notes)
        hooks.progress(QStringLiteral("注意: ") + note);
    const auto outcome = imports::runImport(imports::recogniseInputs(expanded), options, hooks);
    err.flush();
    return outcome.failed || !expanded.errors.isEmpty() ? 1 : 0;
}

} // namespace miratos::cli
