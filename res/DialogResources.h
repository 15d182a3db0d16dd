#pragma once
// The program's dialogs, loaded from the XRC resources embedded in the binary
// (res/Dialogs.xrc): caption, font, client size and controls in tab order,
// positions and sizes in dialog units of the dialog's own font. Loading also
// gives the controls what the toolkit does not do by itself (see LoadDialog).

#include <vector>

#include <wx/dialog.h>

class wxRadioButton;
class wxXmlNode;

namespace moxtrel::res {

// Dialog resource names.
inline constexpr const char* DialogAbout = "AboutBox";
inline constexpr const char* DialogMain = "MainDialog";
inline constexpr const char* DialogWadInfo = "WadFileInfo";
inline constexpr const char* DialogLocate = "Locate";
inline constexpr const char* DialogSearch = "Search";

// Creates `dialog` from resource `name` with owner `parent` (may be null).
// Radio buttons and check boxes get the height their mark needs, growing
// about the middle of their row; icon buttons (wxBU_NOTEXT) keep their text
// as label and answer Alt and its mnemonic letter; a static text with a
// sunken border gets the edge drawn around it; a static picture shows its
// image centred in its rectangle; a dialog with an owner opens centred over
// it. Throws std::logic_error when there is no such resource.
void LoadDialog(wxDialog& dialog, wxWindow* parent, const char* name);

// The XRC node of dialog resource `name`, nullptr when there is none.
const wxXmlNode* DialogNode(const char* name);

// Puts `control` in the place of `placeholder` (rectangle and tab order) and
// destroys the placeholder: for a control the dialog's own code makes.
void ReplacePlaceholder(wxWindow& placeholder, wxWindow& control);

// The radio group that begins at radio button `firstId` of `dialog`: it and
// the radio buttons that follow it up to one that starts a new group.
std::vector<wxRadioButton*> RadioGroup(const wxWindow& dialog, int firstId);
// The index of the selected button of `group`, -1 when none is.
int GetRadioIndex(const std::vector<wxRadioButton*>& group);
// Selects button `index` of `group` and switches the others off; -1 selects
// none (the group's hidden "no-choice-<first ID>" button).
void SetRadioIndex(const std::vector<wxRadioButton*>& group, int index);

}  // namespace moxtrel::res
