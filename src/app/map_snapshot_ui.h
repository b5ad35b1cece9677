#pragma once
// The picture of the map window as a user sees it at a chosen size, for "miratos snapshot".
#include "cli/snapshot_command.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <variant>

namespace miratos::app {

// Opens the map window off screen with the map choices made (no selection dialogs), loads and
// draws it at the size asked, and returns its picture; an error text when a choice names nothing.
// What the window would have said in message boxes goes into warnings.
std::variant<QImage, QString> snapshotMapWindow(const cli::SnapshotOptions& options, QStringList& warnings);

} // namespace miratos::app
