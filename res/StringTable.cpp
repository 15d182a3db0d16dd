#include "res/StringTable.h"

#include <map>

namespace moxtrel::res {

std::string LoadResourceString(int id) {
    static const std::map<int, std::string> strings = {
        {StringAboutItem, "&About Moxtrel..."},
        // Tool tips of the main dialog's step buttons, numbered as the buttons.
        {1002, "Manual Locate..."},
        {1007, "Extract all textures"},
        {1026, "Search for the files..."},
    };
    auto it = strings.find(id);
    return it == strings.end() ? std::string() : it->second;
}

}  // namespace moxtrel::res
