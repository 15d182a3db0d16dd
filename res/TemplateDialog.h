#pragma once
// Turns a dialog template (res/Templates.h) into a window: caption, font,
// client size and controls, with every position and size converted from
// dialog units through the dialog's own font.

#include <functional>
#include <vector>

#include <wx/dialog.h>

#include "res/Templates.h"

class wxRadioButton;

namespace moxtrel::res {

// Makes a control of kind Custom at its place in the tab order.
using CustomControlFactory =
    std::function<wxWindow*(wxWindow* parent, const ControlTemplate& control, const wxPoint& pos, const wxSize& size)>;

// The window ID of a template's control ID: IDOK and IDCANCEL become the
// toolkit's OK and Cancel, -1 any ID; other numbers stay as they are.
int WindowId(int templateId);

// Creates `dialog` from template `templateId` with owner `parent` (may be
// null). Radio buttons behave as automatic radio buttons of their group (a
// click switches the others off), and a group can have none selected; icon
// buttons answer Alt and their mnemonic letter. Throws
// std::logic_error when there is no such template.
void CreateDialogFromTemplate(wxDialog& dialog, wxWindow* parent, int templateId,
                              const CustomControlFactory& makeCustom = {});

// The radio buttons of the group that begins at control `firstId` of
// template `templateId`: from it up to the next control that starts a group,
// radio buttons only, in template order.
std::vector<wxRadioButton*> RadioGroup(const wxWindow& dialog, int templateId, int firstId);
// The index of the selected button of `group`, -1 when none is.
int GetRadioIndex(const std::vector<wxRadioButton*>& group);
// Selects button `index` of `group` and switches the others off; -1 selects none.
void SetRadioIndex(const std::vector<wxRadioButton*>& group, int index);

}  // namespace moxtrel::res
