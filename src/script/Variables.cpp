// The process-wide variable store: the one the game object owns.
#include "app/GameSystem.h"
#include "script/VariableStore.h"

namespace zepa {
namespace {
CVariableStore* g_variables = nullptr;
}

CVariableStore* PublishedVariables() {
    return g_variables;
}

void PublishVariables(CVariableStore* store) {
    g_variables = store;
}

CVariableStore& Variables() {
    return GameSystem()->variables();
}

}  // namespace zepa
