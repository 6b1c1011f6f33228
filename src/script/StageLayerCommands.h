// The Background and Character statements once parsed: each reads its arguments, applies the
// defaults that the first empty argument decides, and calls one operation of its layer. A
// non-empty unknown sub-command shows the group's grammar error box. With no layer (null) the
// known sub-commands do nothing.
#pragma once

namespace zepa {

class CBackGround;
class CCharaGraphics;
class CMessageBoxes;
class CVariableStore;
struct ScriptStatement;

void RunBackgroundCommand(CBackGround* layer, const ScriptStatement& statement,
                          const CVariableStore& variables, CMessageBoxes& boxes);
void RunCharacterCommand(CCharaGraphics* layer, const ScriptStatement& statement,
                         const CVariableStore& variables, CMessageBoxes& boxes);

}  // namespace zepa
