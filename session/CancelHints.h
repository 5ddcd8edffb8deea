#pragma once
// The hint appended to the lines that announce an operation. Read, compare and write use hint A;
// erase and blank check use hint B in English and hint A in Russian. Hint A is English only in an
// English interface (the Russian one is part of the window's design).
#include <QString>

QString CancelHintA();
QString CancelHintB();
