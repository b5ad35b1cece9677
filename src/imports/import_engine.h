#pragma once
// The one import of today's downloads, shared by `miratos import` and the データ取込 window: the
// recognised inputs are imported kind by kind (small-area boundaries first, so that their tables
// find them; railway lines and stations together), and every file is written only when the whole
// run ends without being cancelled.
#include "imports/gis_boundary_reader.h"
#include "imports/import_inputs.h"

#include <functional>

namespace miratos::imports {

struct ImportOptions {
    GisBoundaryOptions gis;
    int year = 0; // two-digit census year of small-area files; 0: from their names or boundaries
};

struct ImportHooks {
    std::function<void(const QString&)> progress; // what was read or written, line by line
    std::function<void(const QString&)> result;   // the lines of progress that say what was written, and notes
    std::function<void(const QString&)> problem;  // an input (or the run) that failed, and why
    std::function<void(int done, int total)> step; // inputs finished so far
    std::function<bool()> cancelled;               // asked between inputs
};

struct ImportOutcome {
    bool failed = false;    // some input or the run failed (the others were written)
    bool cancelled = false; // nothing was written
};

ImportOutcome runImport(const std::vector<ImportInput>& inputs, const ImportOptions& options, const ImportHooks& hooks);

} // namespace miratos::imports
