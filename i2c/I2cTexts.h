#pragma once
// Log texts of the Read, Write and Compare commands and of the fast I2C paths. The command start
// lines are followed by the cancel hint of the interface language; the fast completion lines by
// the elapsed seconds and SecondsSuffix.

#include "text/TextPair.h"

#include <string_view>

inline const TextPair ReadingStartText{"\nReading...\n", "\nСчитывание...\n"};
inline const TextPair WritingStartText{"\nWriting...\n", "\nПрограммирование...\n"};
inline const TextPair ComparingStartText{"\nComparing...\n", "\nСравнение...\n"};

inline const TextPair FastReadingText{"\nFast reading...", "\nБыстрое считывание..."};
inline const TextPair FastComparingText{"\nFast Comparing...", "\nБыстрое сравнение..."};
inline const TextPair FastWritingText{"\nFast writing...", "\nБыстрое программирование..."};

inline const TextPair FastReadingDoneText{"Fast reading complet,\nreading time ",
                                          "Быстрое считывание завершено,\nвремя считывания "};
inline const TextPair FastComparingDoneText{"Fast Comparing completed,\ncompare time ",
                                            "Быстрое сравнение завершено,\nвремя сравнения "};
inline const TextPair FastWritingDoneText{"Fast writing completed,\nwriting time ",
                                          "Быстрое программирование завершено,\nвремя программирования "};

inline constexpr std::string_view SecondsSuffix = " sec."; // the same in both languages
