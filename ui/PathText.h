#pragma once
// File names are bytes; windows show text. A name that is not valid UTF-8
// still has to come back to the same bytes when the path of a tree item is
// rebuilt from its text, so invalid bytes travel as private-use characters.

#include <string>

#include <wx/string.h>

namespace moxtrel::locate {

wxString PathToText(const std::string& path);
std::string TextToPath(const wxString& text);

}  // namespace moxtrel::locate
