#include "ui/PathText.h"

#include <wx/strconv.h>

namespace moxtrel::locate {

namespace {

const wxMBConv& FileNameConversion() {
    static const wxMBConvUTF8 conversion(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return conversion;
}

}  // namespace

wxString PathToText(const std::string& path) {
    return wxString(path.data(), FileNameConversion(), path.size());
}

std::string TextToPath(const wxString& text) {
    const wxCharBuffer bytes = text.mb_str(FileNameConversion());
    return std::string(bytes.data(), bytes.length());
}

}  // namespace moxtrel::locate
