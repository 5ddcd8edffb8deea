#pragma once
// The log writer's text rules: two colours, and a number appended in decimal and hexadecimal.
#include <QString>
#include <cstdint>

enum class LogColour { Navy, Red };

// " 96 (0x000060)" for 96; nothing for a negative number. At least six hexadecimal digits, more
// when the number needs them.
QString LogNumberSuffix(int64_t number);
