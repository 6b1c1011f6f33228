// How script words appear in the checker's messages: CP932 bytes shown as UTF-8, with the control
// bytes an archived script keeps (CR, TAB) made visible.
#pragma once

#include <string>
#include <string_view>

namespace zepa {

std::string Shown(std::string_view cp932);
// Shown, in double quotes.
std::string Quoted(std::string_view cp932);

}  // namespace zepa
