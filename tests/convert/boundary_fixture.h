#pragma once
// A temporary app folder for the boundary conversion: Init.ini, the prefecture folder of 東京都,
// input XML written from bytes, and the written files read back as text.
#include "../../bench/boundary_xml_generator.h"
#include "convert/boundary_converter.h"
#include "platform/app_folder.h"
#include "platform/cp932.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

class BoundaryFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        miratos::platform::AppFolder::set(m_dir.path());
        QStringList ini{QStringLiteral("[Pref]")};
        for (int i = 1; i <= 47; ++i)
            ini << QStringLiteral("%1=県%1").arg(i, 2, 10, QLatin1Char('0'));
        ini[13] = QStringLiteral("13=東京都");
        ASSERT_TRUE(miratos::platform::writeTextLines(m_dir.filePath(QStringLiteral("Init.ini")), ini).ok());
        ASSERT_TRUE(QDir().mkpath(tokyoFolder()));
        ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("変換フォルダ"))));
    }
    void TearDown() override { miratos::platform::AppFolder::set(QString()); }

    QString tokyoFolder() const { return m_dir.filePath(QStringLiteral("MapData/東京都")); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString root() const { return m_dir.path(); }

    QString inputFile(const QString& name, const QByteArray& content) const
    {
        const QString p = m_dir.filePath(QStringLiteral("変換フォルダ/") + name);
        QFile file(p);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << p.toStdString();
        file.write(content);
        return p;
    }

    // A written file as UTF-8 text; "<missing>" when it is not there.
    std::string fileText(const QString& name) const
    {
        QFile file(tokyoFolder() + QLatin1Char('/') + name);
        if (!file.open(QIODevice::ReadOnly))
            return "<missing>";
        return miratos::platform::fromCp932(file.readAll()).toStdString();
    }

    // Data-file XML built with the generator's writer.
    static QByteArray dataXml(const std::function<void(miratos::bench::BoundaryXmlWriter&)>& body)
    {
        QByteArray bytes;
        {
            miratos::bench::BoundaryXmlWriter w([&bytes](const QByteArray& b) { bytes += b; });
            w.begin();
            body(w);
            w.end();
        }
        return bytes;
    }

    static QByteArray metaXml() { return miratos::bench::BoundaryXmlWriter::metadata("139", "145", "35", "36"); }

private:
    QTemporaryDir m_dir;
};
