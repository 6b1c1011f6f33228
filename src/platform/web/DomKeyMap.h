// Browser keys onto Windows virtual-key codes: KeyboardEvent.code names the key by its place on
// a US keyboard, and the keys map onto the codes the desktop build gives the same keys (0 for keys
// the engine does not know). Plain C++, so the native tests check it too.
#pragma once

#include <string_view>

namespace zepa {

int VirtualKeyFromDomCode(std::string_view code);

}  // namespace zepa
