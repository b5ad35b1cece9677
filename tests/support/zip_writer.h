#pragma once
// Zips written for tests as the downloads come: GDAL's zip writer, with member names in UTF-8 or
// as the CP932 bytes Japanese Windows stores without the UTF-8 flag.
#include <QFile>
#include <QList>
#include <QPair>
#include <cpl_conv.h>
#include <gtest/gtest.h>

struct Member {
    QByteArray name; // as stored in the zip: UTF-8, or CP932 bytes as Japanese Windows writes them
    QByteArray bytes;
};

// GDAL's zip writer takes names as UTF-8; a name that is not is stored under an ASCII stand-in of
// its length (no UTF-8 flag), whose bytes are then replaced in the local and central headers.
inline void writeZip(const QString& path, const QList<Member>& members)
{
    void* zip = CPLCreateZip(QFile::encodeName(path).constData(), nullptr);
    ASSERT_NE(zip, nullptr) << path.toStdString();
    QList<QPair<QByteArray, QByteArray>> renames;
    for (const Member& m : members) {
        QByteArray name = m.name;
        if (!QUtf8StringView(m.name).isValidUtf8()) {
            name = QByteArray("~") + QByteArray::number(renames.size()).rightJustified(m.name.size() - 1, '~');
            renames.append({name, m.name});
        }
        ASSERT_EQ(CPLCreateFileInZip(zip, name.constData(), nullptr), CE_None) << m.name.toStdString();
        ASSERT_EQ(CPLWriteFileInZip(zip, m.bytes.constData(), int(m.bytes.size())), CE_None);
        ASSERT_EQ(CPLCloseFileInZip(zip), CE_None);
    }
    ASSERT_EQ(CPLCloseZip(zip), CE_None);
    if (renames.isEmpty())
        return;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    for (const auto& [standIn, name] : renames) {
        ASSERT_EQ(bytes.count(standIn), 2) << standIn.toStdString();
        bytes.replace(standIn, name);
    }
    ASSERT_TRUE(file.seek(0));
    ASSERT_EQ(file.write(bytes), bytes.size());
}
