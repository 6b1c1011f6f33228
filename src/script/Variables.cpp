// The process-wide variable store: the one the game object owns.
#include "app/GameSystem.h"
#include "script/VariableStore.h"

namespace zepa {

CVariableStore& Variables() {
    return GameSystem()->variables();
}

}  // namespace zepa
