#pragma once
// Temporary folder and raw file bytes for the store tests.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

class StoreFiles : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QString writeBytes(const QString& name, QByteArrayView bytes) const
    {
        const QString p = path(name);
        QFile file(p);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << p.toStdString();
        file.write(bytes.data(), bytes.size());
        return p;
    }

    static QByteArray bytesOf(const QString& p)
    {
        QFile file(p);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private:
    QTemporaryDir m_dir;
};
