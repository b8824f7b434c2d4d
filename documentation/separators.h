#pragma once
// Which field and decimal separators a delimited file can be written with so that it reads
// back: the two must differ, and neither may be a character that a number (or the "n.a." of a
// missing value) is written with, nor a quote or a line break.

#include "documentation/delimited_table.h"
#include "platform/cstring.h"

namespace documentation {

enum class SeparatorProblem {
    None,
    Equal,               // field and decimal separator are the same character
    FieldInNumbers,      // the field separator occurs in written numbers
    DecimalInNumbers,    // the decimal separator is a digit, sign or exponent letter
    Unusable,            // a quote, a line break or a zero byte
};

SeparatorProblem CheckSeparators(Separators separators);

// A file-name prefix: not empty, no folder separator, no zero byte.
bool IsValidPrefix(const CString& prefix);

}  // namespace documentation
