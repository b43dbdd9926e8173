#pragma once

#include <string>

// The two evaluators behind derive expressions and row conditions. They work on plain text
// by searching and splitting it, recursively, with no token stage: operators are found by
// their first occurrence, so "10-4-3" means 10 - (4 - 3) and "8/2*3" means 8 * 3.
namespace Expressions {

// Arithmetic: brackets, then "+", "-", "*", "/"; operands read as strtod does ("NOW" is the
// current date-time number). An empty text is 0. Division by zero throws QvException -513.
double EvaluateArithmetic(const std::string& text);

// Logical: brackets, "|", "&", prefix "!", then one comparison ("<>", ">=", "<=", ">", "<",
// "=") of texts by character order, or "true" / "false". A double-quoted region hides the
// operators inside it. Anything else throws QvException "(QvCommon) Bad logic operand!" (-1).
bool EvaluateLogical(const std::string& text);

} // namespace Expressions
