#pragma once
// Drawing and answering the questions of the two quizzes.
#include "quiz/quiz_lists.h"
#include "state/mdl_main.h"

namespace miratos::quiz {

// A question index 1..count drawn through the random seam (a question may repeat the last one).
int drawQuestion(int count);

// "東京都千代田区" for the file "17_13101_千代田区.dat" in the folder "東京都": the prefecture and
// the file name's third "_" part up to its first ".".
QString cityAnswer(const QString& prefName, const QString& fileName);

// Makes the entry the one municipality to load: its path, its prefix (up to and including the
// last "_") and one empty district row.
void selectCityQuestion(const CityQuizEntry& entry, state::MdlMain& state);

} // namespace miratos::quiz
