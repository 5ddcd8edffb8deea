#pragma once
// Ranking of dotted version texts such as "1.0.1.62" or "1.0.2b".

#include <string_view>

namespace update {

// 1 when a is newer than b, -1 when it is older, 0 only for byte-equal texts. Parts are compared
// in order: each is read as an integer the way C's "%i" reads one (decimal, 0x hexadecimal, 0
// octal) followed by a suffix. A part with a number ranks above one without; larger numbers win;
// then a part without a suffix ranks above one with a suffix, and suffixes compare byte by byte
// (in full, whatever their length). When every common part is equal, the text with more parts is
// newer; with as many parts (texts such as "1.01" and "1.1"), a is older.
int CompareVersions(std::string_view a, std::string_view b);

} // namespace update
