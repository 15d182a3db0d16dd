#pragma once
// The program's numbered strings, found by the numbers the windows use: the
// window-menu item and the tool tips, whose numbers are the IDs of the
// controls they describe.

#include <string>

namespace moxtrel::res {

inline constexpr int StringAboutItem = 101;

// The string with number `id`, or an empty string when there is none.
std::string LoadResourceString(int id);

}  // namespace moxtrel::res
