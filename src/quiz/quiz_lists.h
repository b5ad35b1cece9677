#pragma once
// The question lists of the two quizzes, built from the data folders present under MapData.
#include <QString>
#include <QVector>

namespace miratos::quiz {

struct CityQuizEntry {
    QString path;     // full path of the district file
    QString prefName; // the prefecture folder
    QString fileName;
    QString answer;   // filled when the entry is asked
};

// Writes the prefecture names of Init.ini into PrefTable(i,1) and returns the codes whose
// folder holds Point.dat, ascending.
QVector<int> buildPrefQuizList();

// Writes the prefecture names as above and returns every district file of every prefecture.
QVector<CityQuizEntry> buildCityQuizList();

} // namespace miratos::quiz
