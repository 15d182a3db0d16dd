#include "res/TemplateDialog.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include <wx/animate.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/gauge.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "res/Pictures.h"

namespace moxtrel::res {

namespace {

const DialogTemplate& TemplateOrThrow(int templateId) {
    const DialogTemplate* dialog = FindDialogTemplate(templateId);
    if (!dialog) throw std::logic_error("no dialog template " + std::to_string(templateId));
    return *dialog;
}

bool Has(const ControlTemplate& control, unsigned style) { return (control.style & style) != 0; }

wxWindow* MakeText(wxWindow* parent, const ControlTemplate& c, const wxPoint& pos, const wxSize& size) {
    const long style = wxST_NO_AUTORESIZE | (Has(c, ControlStyle::AlignRight) ? wxALIGN_RIGHT : wxALIGN_LEFT);
    auto* text = new wxStaticText(parent, WindowId(c.id), wxString(), pos, size, style);
    wxString label = wxString::FromUTF8(c.text);
    if (Has(c, ControlStyle::NoPrefix)) {
        text->SetLabelText(label);
    } else {
        text->SetLabel(label);
    }
    return text;
}

wxWindow* MakeIconButton(wxWindow* parent, const ControlTemplate& c, const wxPoint& pos, const wxSize& size) {
    // The text is kept as the button's label (for its mnemonic and for
    // assistive tools) but not drawn: the dialog gives the button its icon.
    auto* button = new wxButton(parent, WindowId(c.id), wxString(), pos, size, wxBU_NOTEXT);
    button->SetLabel(wxString::FromUTF8(c.text));
    return button;
}

wxWindow* MakeIcon(wxWindow* parent, const ControlTemplate& c, const wxPoint& pos, const wxSize& size,
                   bool centred) {
    wxImage image = LoadIconImage(c.image);
    if (centred && image.IsOk()) image = CentreImage(image, size);
    wxBitmap bitmap = image.IsOk() ? wxBitmap(image) : wxBitmap();
    wxSize shown = centred || !bitmap.IsOk() ? size : bitmap.GetSize();
    return new wxStaticBitmap(parent, WindowId(c.id), bitmap, pos, shown);
}

wxWindow* MakeControl(wxWindow* parent, const ControlTemplate& c, const wxPoint& pos, const wxSize& size,
                      const CustomControlFactory& makeCustom) {
    const int id = WindowId(c.id);
    const wxString text = wxString::FromUTF8(c.text);
    switch (c.kind) {
        case ControlKind::Text: return MakeText(parent, c, pos, size);
        case ControlKind::GroupBox: return new wxStaticBox(parent, id, text, pos, size);
        case ControlKind::RadioButton: return new wxRadioButton(parent, id, text, pos, size);
        case ControlKind::PushButton: return new wxButton(parent, id, text, pos, size);
        case ControlKind::DefaultPushButton: {
            auto* button = new wxButton(parent, id, text, pos, size);
            button->SetDefault();
            return button;
        }
        case ControlKind::IconButton: return MakeIconButton(parent, c, pos, size);
        case ControlKind::CheckBox: return new wxCheckBox(parent, id, text, pos, size);
        case ControlKind::Icon: return MakeIcon(parent, c, pos, size, false);
        case ControlKind::CenteredIcon: return MakeIcon(parent, c, pos, size, true);
        case ControlKind::Animation:
            return new wxAnimationCtrl(parent, id, wxNullAnimation, pos, size,
                                       wxAC_NO_AUTORESIZE | (Has(c, ControlStyle::Border) ? wxBORDER_SIMPLE : wxBORDER_NONE));
        case ControlKind::ProgressBar: return new wxGauge(parent, id, 100, pos, size, wxGA_HORIZONTAL);
        case ControlKind::Custom: return makeCustom ? makeCustom(parent, c, pos, size) : nullptr;
    }
    return nullptr;
}

// The ID of the first radio button of the group that control `index` of the
// template belongs to; a group runs from a control that starts one to the
// next.
int FirstRadioOfGroup(const DialogTemplate& dialog, std::size_t index) {
    std::size_t first = index;
    while (first > 0 && !Has(dialog.controls[first], ControlStyle::Group)) --first;
    for (std::size_t i = first; i <= index; ++i) {
        if (dialog.controls[i].kind == ControlKind::RadioButton) return dialog.controls[i].id;
    }
    return dialog.controls[index].id;
}

wxString NoneButtonName(int firstId) { return wxString::Format("no-choice-%d", firstId); }

// The toolkit keeps one button of a radio group selected at all times, so
// each group starts with a hidden button that is selected when none of the
// visible ones is.
void AddNoneButton(wxWindow* parent, int firstId) {
    auto* none = new wxRadioButton(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxRB_GROUP,
                                   wxDefaultValidator, NoneButtonName(firstId));
    none->Hide();
    none->SetValue(true);
}

// An icon button shows no text, so the toolkit knows nothing of its
// mnemonic: Alt and the letter after '&' press it as they would press a
// button with text, when it is shown and enabled.
void PressIconButtonsByMnemonic(wxDialog& dialog, std::vector<int> ids) {
    if (ids.empty()) return;
    dialog.Bind(wxEVT_CHAR_HOOK, [&dialog, ids](wxKeyEvent& event) {
        if (event.GetModifiers() == wxMOD_ALT) {
            for (int id : ids) {
                wxWindow* button = dialog.FindWindow(id);
                wxString text;  // the label without its '&'
                const int accel = wxControl::FindAccelIndex(button->GetLabel(), &text);
                if (accel < 0 || wxToupper(text[static_cast<std::size_t>(accel)]) != event.GetKeyCode()) continue;
                if (!button->IsShown() || !button->IsEnabled()) break;
                wxCommandEvent click(wxEVT_BUTTON, id);
                click.SetEventObject(button);
                button->ProcessWindowEvent(click);
                return;
            }
        }
        event.Skip();
    });
}

// The toolkit draws no border around a static text, so the dialog draws the
// sunken edge of each such text around it: shadow above and left, light below
// and right. An empty status line is thus still seen.
void DrawSunkenEdges(wxDialog& dialog, std::vector<wxWindow*> texts) {
    if (texts.empty()) return;
    dialog.Bind(wxEVT_PAINT, [&dialog, texts](wxPaintEvent&) {
        wxPaintDC dc(&dialog);
        // The theme's shadow is faint on a light face: a darker one is seen.
        const wxPen shadow(wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW).ChangeLightness(70));
        const wxPen light(wxSystemSettings::GetColour(wxSYS_COLOUR_3DHIGHLIGHT));
        for (const wxWindow* text : texts) {
            const wxRect r = text->GetRect().Inflate(1);
            dc.SetPen(shadow);
            dc.DrawLine(r.GetLeft(), r.GetBottom(), r.GetLeft(), r.GetTop());
            dc.DrawLine(r.GetLeft(), r.GetTop(), r.GetRight(), r.GetTop());
            dc.SetPen(light);
            dc.DrawLine(r.GetRight(), r.GetTop(), r.GetRight(), r.GetBottom());
            dc.DrawLine(r.GetRight(), r.GetBottom(), r.GetLeft() - 1, r.GetBottom());
        }
    });
}

// A dialog opens centred over the window that owns it: its parent, or for a
// dialog made without one, the window that will own it when it is shown
// modally (the active window or the program's main window).
void CentreOnOwner(wxDialog& dialog) {
    const wxWindow* owner = dialog.GetParentForModalDialog();
    if (!owner) {
        dialog.Centre();
        return;
    }
    const wxRect over = owner->GetScreenRect();
    const wxSize size = dialog.GetSize();
    dialog.Move(std::max(0, over.x + (over.width - size.x) / 2), std::max(0, over.y + (over.height - size.y) / 2));
}

// Radio buttons and check boxes need room for their mark: a row of the
// template lower than that grows about its middle.
void FitMark(wxWindow& control, ControlKind kind) {
    if (kind != ControlKind::RadioButton && kind != ControlKind::CheckBox) return;
    wxRect rect = control.GetRect();
    int needed = control.GetBestSize().y;
    if (needed <= rect.height) return;
    rect.y -= (needed - rect.height) / 2;
    rect.height = needed;
    control.SetSize(rect);
}

}  // namespace

int WindowId(int templateId) {
    switch (templateId) {
        case IDOK: return wxID_OK;
        case IDCANCEL: return wxID_CANCEL;
        case -1: return wxID_ANY;
        default: return templateId;
    }
}

void CreateDialogFromTemplate(wxDialog& dialog, wxWindow* parent, int templateId,
                              const CustomControlFactory& makeCustom) {
    const DialogTemplate& t = TemplateOrThrow(templateId);
    long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX;
    if (t.ownsTaskbarEntry) style |= wxDIALOG_NO_PARENT;
    dialog.Create(parent, wxID_ANY, wxString::FromUTF8(t.caption), wxDefaultPosition, wxDefaultSize, style);
    // The font comes first: dialog units are measured in it, and the
    // controls take it over.
    dialog.SetFont(wxFont(wxFontInfo(t.fontPoints).FaceName(wxString::FromUTF8(t.fontFace))));

    std::vector<int> iconButtons;
    std::vector<wxWindow*> sunkenTexts;
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
        const ControlTemplate& c = t.controls[i];
        if (c.kind == ControlKind::IconButton) iconButtons.push_back(WindowId(c.id));
        if (c.kind == ControlKind::RadioButton && FirstRadioOfGroup(t, i) == c.id) AddNoneButton(&dialog, c.id);
        wxPoint pos = dialog.ConvertDialogToPixels(wxPoint(c.rect.x, c.rect.y));
        wxSize size = dialog.ConvertDialogToPixels(wxSize(c.rect.width, c.rect.height));
        wxWindow* control = MakeControl(&dialog, c, pos, size, makeCustom);
        if (!control) continue;
        if (Has(c, ControlStyle::Disabled)) control->Disable();
        if (c.kind == ControlKind::Text && Has(c, ControlStyle::StaticEdge)) sunkenTexts.push_back(control);
        FitMark(*control, c.kind);
    }
    dialog.SetClientSize(dialog.ConvertDialogToPixels(wxSize(t.width, t.height)));
    PressIconButtonsByMnemonic(dialog, iconButtons);
    DrawSunkenEdges(dialog, sunkenTexts);
    // Placed over its owner now, and again when it opens (unless the dialog's
    // own initialisation keeps the event), since the owner may have moved.
    if (!t.ownsTaskbarEntry) {
        CentreOnOwner(dialog);
        dialog.Bind(wxEVT_INIT_DIALOG, [&dialog](wxInitDialogEvent& event) {
            CentreOnOwner(dialog);
            event.Skip();
        });
    }
}

std::vector<wxRadioButton*> RadioGroup(const wxWindow& dialog, int templateId, int firstId) {
    const DialogTemplate& t = TemplateOrThrow(templateId);
    std::vector<wxRadioButton*> group;
    bool inGroup = false;
    for (const ControlTemplate& c : t.controls) {
        if (c.id == firstId) {
            inGroup = true;
        } else if (inGroup && Has(c, ControlStyle::Group)) {
            break;
        }
        if (inGroup && c.kind == ControlKind::RadioButton) {
            group.push_back(wxDynamicCast(dialog.FindWindow(WindowId(c.id)), wxRadioButton));
        }
    }
    return group;
}

int GetRadioIndex(const std::vector<wxRadioButton*>& group) {
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (group[i] && group[i]->GetValue()) return static_cast<int>(i);
    }
    return -1;
}

void SetRadioIndex(const std::vector<wxRadioButton*>& group, int index) {
    if (group.empty() || !group[0]) return;
    if (index >= 0 && static_cast<std::size_t>(index) < group.size() && group[static_cast<std::size_t>(index)]) {
        group[static_cast<std::size_t>(index)]->SetValue(true);
        return;
    }
    wxWindow* none = group[0]->GetParent()->FindWindow(NoneButtonName(group[0]->GetId()));
    if (auto* noneButton = wxDynamicCast(none, wxRadioButton)) noneButton->SetValue(true);
}

}  // namespace moxtrel::res
