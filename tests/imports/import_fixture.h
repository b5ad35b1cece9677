#pragma once
// A temporary app folder for "miratos import": input files written from text, the command run
// with its output captured, and the written files read back as text.
#include "cli/import_command.h"
#include "platform/app_folder.h"
#include "platform/cp932.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

class ImportFolder : public ::testing::Test {
protected:
    void SetUp() override { miratos::platform::AppFolder::set(m_dir.path()); }
    void TearDown() override { miratos::platform::AppFolder::set(QString()); }

    QString inputFile(const QString& name, const QByteArray& content) const
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(content);
        return path;
    }

    void writeInitIni(const QStringList& lines) const
    {
        const miratos::Status s = miratos::platform::writeTextLines(m_dir.filePath(QStringLiteral("Init.ini")), lines);
        ASSERT_TRUE(s.ok()) << s.error().toStdString();
    }

    int runImport(const QStringList& files)
    {
        m_out.clear();
        m_err.clear();
        QTextStream out(&m_out);
        QTextStream err(&m_err);
        return miratos::cli::runImportCommand(files, out, err);
    }

    QString prefFolder(const QString& prefName) const { return m_dir.filePath(QStringLiteral("MapData/") + prefName); }

    // A written file decoded from CP932, as UTF-8; "<missing>" when it is not there.
    std::string fileText(const QString& prefName, const QString& fileName) const
    {
        QFile file(prefFolder(prefName) + QLatin1Char('/') + fileName);
        if (!file.open(QIODevice::ReadOnly))
            return "<missing>";
        return miratos::platform::fromCp932(file.readAll()).toStdString();
    }

    std::string out() const { return m_out.toStdString(); }
    std::string err() const { return m_err.toStdString(); }

private:
    QTemporaryDir m_dir;
    QString m_out;
    QString m_err;
};
