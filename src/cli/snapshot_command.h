#pragma once
// "miratos snapshot": a picture of a window as a user sees it. "snapshot FILE" shows the
// launcher; with map choices (as render takes them) it is the map window at a chosen size.
#include <QSize>
#include <QString>
#include <QStringList>
#include <variant>

namespace miratos::cli {

struct SnapshotOptions {
    QString mode; // empty: the launcher
    QStringList prefs;
    QStringList districts;
    QSize size; // empty: the size the window opens with
    QString out;
    QString map; // a saved map: the window opened with it (its choices; mode and areas given override)
};

// Sizes a snapshot may ask for, each side.
constexpr int kSnapshotMinSide = 200;
constexpr int kSnapshotMaxSide = 8000;

// Parses the arguments after "snapshot"; an error text (with the usage) on failure.
std::variant<SnapshotOptions, QString> parseSnapshotArgs(const QStringList& args);

QString snapshotUsage();

} // namespace miratos::cli
