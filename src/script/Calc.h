// The variable statements: Calc assigns one flag, integer or string variable from a short
// expression (one operation at most, no precedence); Random stores a random integer.
#pragma once

namespace zepa {

struct ScriptStatement;
class CVariableStore;
class CScriptRandom;

// Calc(target, operator, right side...). Integer arithmetic wraps at 32 bits; a division or
// remainder by zero, or INT_MIN / -1, leaves the target unchanged.
void ExecuteCalc(const ScriptStatement& statement, CVariableStore& variables);
// Random(number, modulus): integer variable `number` := next random value % modulus. A modulus of 0
// leaves the variable unchanged (the generator still advances).
void ExecuteRandom(const ScriptStatement& statement, CVariableStore& variables, CScriptRandom& random);

}  // namespace zepa
