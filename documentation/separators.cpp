#include "documentation/separators.h"

#include <cstring>

namespace documentation {

namespace {

bool IsNumberCharacter(char ch)
{
    return (ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == 'e' || ch == 'E';
}

bool IsUnusable(char ch)
{
    return ch == '"' || ch == '\r' || ch == '\n' || ch == '\0';
}

}  // namespace

SeparatorProblem CheckSeparators(Separators separators)
{
    if (IsUnusable(separators.field) || IsUnusable(separators.decimal)) return SeparatorProblem::Unusable;
    if (separators.field == separators.decimal) return SeparatorProblem::Equal;
    if (IsNumberCharacter(separators.decimal)) return SeparatorProblem::DecimalInNumbers;
    // "n.a." stands for a missing value, so its letters and point count as number characters.
    if (IsNumberCharacter(separators.field) || std::strchr("n.a", separators.field) != nullptr)
        return SeparatorProblem::FieldInNumbers;
    return SeparatorProblem::None;
}

bool IsValidPrefix(const CString& prefix)
{
    if (prefix.IsEmpty() || prefix == "." || prefix == "..") return false;
    for (int i = 0; i < prefix.GetLength(); ++i)
        if (prefix[i] == '/' || prefix[i] == '\0') return false;
    return true;
}

}  // namespace documentation
