#pragma once
// Readable failure output for the text values the statistics tests compare.
#include <QString>
#include <QStringList>
#include <QVector>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}

template <class T>
void PrintTo(const QVector<T>& values, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < values.size(); ++i)
        *os << (i ? ", " : "") << values.at(i);
    *os << '}';
}
