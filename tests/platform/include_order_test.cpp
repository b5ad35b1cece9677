// The source folders are layered; a file may include only from its own folder and the folders
// below it, so that the core library never reaches up into windows or commands.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Lowest first; folders with the same rank are peers and do not include each other.
int rankOf(const QString& folder)
{
    static const QHash<QString, int> ranks{
        {"platform", 0}, {"store", 1}, {"state", 2}, {"mapview", 3}, {"layers", 4}, {"stats", 5},
        {"convert", 6}, {"imports", 7}, {"output", 8}, {"quiz", 9}, {"games", 9}, {"cli", 10}, {"app", 11},
    };
    return ranks.value(folder, -1);
}

TEST(IncludeOrder, EveryIncludeRunsDownward)
{
    const QString src = QStringLiteral(MIRATOS_SOURCE_DIR "/src");
    static const QRegularExpression include(QStringLiteral(R"(#include "(\w+)/)"));
    QStringList upward;
    int files = 0;
    for (QDirIterator it(src, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        const QString folder = QDir(src).relativeFilePath(path).section('/', 0, 0);
        const int own = rankOf(folder);
        if (own < 0)
            continue; // main.cpp sits above everything
        ++files;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        for (auto m = include.globalMatch(text); m.hasNext();) {
            const QString target = m.next().captured(1);
            const int rank = rankOf(target);
            EXPECT_GE(rank, 0) << "unknown folder " << target.toStdString() << " in " << path.toStdString();
            if (rank > own || (rank == own && target != folder))
                upward << QDir(src).relativeFilePath(path) + " -> " + target;
        }
    }
    EXPECT_GT(files, 100);
    EXPECT_TRUE(upward.isEmpty()) << upward.join('\n').toStdString();
}

} // namespace
