// The condition of an `if` or `elseif` statement, from its first three arguments: a value, an
// operator and a right operand. The kind of comparison follows the variable named by the first
// argument ($num..., $str..., $flag...); anything else is a literal truth value.
#pragma once

namespace zepa {

class CVariableStore;
struct ScriptStatement;

bool EvaluateCondition(const ScriptStatement& statement, const CVariableStore& variables);

}  // namespace zepa
