#include "res/DialogResources.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/filesys.h>
#include <wx/fs_mem.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include "res/EmbeddedFiles.h"
#include "res/Pictures.h"

namespace moxtrel::res {

namespace {

constexpr const char* MemoryFolder = "moxtrel/";

// The dialog's font as the resource writes it. The stock handler drops a face
// that is not installed (so the dialog would be measured in a font other than
// the one the resource names) and applies the font only after sizing the dialog.
wxFont FontOf(const wxXmlNode* font) {
    long points = 8;
    wxString face;
    for (const wxXmlNode* n = font ? font->GetChildren() : nullptr; n; n = n->GetNext()) {
        if (n->GetName() == "size") n->GetNodeContent().ToLong(&points);
        if (n->GetName() == "face") face = n->GetNodeContent();
    }
    return wxFont(wxFontInfo(static_cast<int>(points)).FaceName(face));
}

// Radio buttons and check boxes need room for their mark: a row lower than
// that grows about its middle.
void FitMark(wxWindow& control) {
    wxRect rect = control.GetRect();
    const int needed = control.GetBestSize().y;
    if (needed <= rect.height) return;
    rect.y -= (needed - rect.height) / 2;
    rect.height = needed;
    control.SetSize(rect);
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

bool HasBorder(const wxWindow& window, long border) {
    return (window.GetWindowStyleFlag() & wxBORDER_MASK) == border;
}

// Builds a dialog from its node: like the stock dialog handler, but with the
// font applied before the client size is measured, then the finishing of the
// controls that LoadDialog describes.
class DialogHandler : public wxXmlResourceHandler {
public:
    DialogHandler() {
        XRC_ADD_STYLE(wxCAPTION);
        XRC_ADD_STYLE(wxSYSTEM_MENU);
        XRC_ADD_STYLE(wxCLOSE_BOX);
        XRC_ADD_STYLE(wxDIALOG_NO_PARENT);
        AddWindowStyles();
    }

    bool CanHandle(wxXmlNode* node) override { return IsOfClass(node, "wxDialog"); }

    wxObject* DoCreateResource() override {
        XRC_MAKE_INSTANCE(dialog, wxDialog)
        dialog->Create(m_parentAsWindow, wxID_ANY, GetText("title"), wxDefaultPosition, wxDefaultSize,
                       GetStyle("style"), GetName());
        // The font comes first: dialog units are measured in it, and the
        // controls take it over.
        dialog->SetFont(FontOf(GetParamNode("font")));
        dialog->SetClientSize(GetSize("size", dialog));
        CreateChildren(dialog);
        FinishControls(*dialog);
        return dialog;
    }

private:
    // The label a control's node gives, read as the stock handlers read it.
    wxString LabelOf(wxXmlNode* control) {
        wxXmlNode* dialogNode = m_node;
        m_node = control;
        wxString label = GetText("label");
        m_node = dialogNode;
        return label;
    }

    void FinishControls(wxDialog& dialog) {
        std::vector<int> iconButtons;
        std::vector<wxWindow*> sunkenTexts;
        for (wxXmlNode* n = m_node->GetChildren(); n; n = n->GetNext()) {
            if (n->GetName() != "object" || !n->HasAttribute("name")) continue;
            auto* button = wxDynamicCast(dialog.FindWindow(wxXmlResource::GetXRCID(n->GetAttribute("name"))), wxButton);
            if (button && button->HasFlag(wxBU_NOTEXT)) {
                // The toolkit drops the text of a button without one; it is
                // kept for the mnemonic and for assistive tools.
                button->SetLabel(LabelOf(n));
                iconButtons.push_back(button->GetId());
            }
        }
        for (wxWindow* child : dialog.GetChildren()) {
            if (wxDynamicCast(child, wxRadioButton) || wxDynamicCast(child, wxCheckBox)) FitMark(*child);
            if (wxDynamicCast(child, wxStaticText) && HasBorder(*child, wxBORDER_SUNKEN)) sunkenTexts.push_back(child);
            if (auto* picture = wxDynamicCast(child, wxStaticBitmap); picture && picture->GetBitmap().IsOk()) {
                picture->SetBitmap(wxBitmap(CentreImage(picture->GetBitmap().ConvertToImage(), picture->GetSize())));
            }
        }
        PressIconButtonsByMnemonic(dialog, iconButtons);
        DrawSunkenEdges(dialog, sunkenTexts);
        // Placed over its owner now, and again when it opens (unless the
        // dialog's own initialisation keeps the event), since the owner may
        // have moved.
        if (!dialog.HasFlag(wxDIALOG_NO_PARENT)) {
            CentreOnOwner(dialog);
            dialog.Bind(wxEVT_INIT_DIALOG, [&dialog](wxInitDialogEvent& event) {
                CentreOnOwner(dialog);
                event.Skip();
            });
        }
    }
};

// The embedded files are put in the in-memory file system, where the
// resources find the dialogs and their pictures; done once per process.
wxXmlResource& Resources() {
    static bool loaded = false;
    wxXmlResource& resources = *wxXmlResource::Get();
    if (loaded) return resources;
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    wxFileSystem::AddHandler(new wxMemoryFSHandler);
    for (const EmbeddedFile& file : EmbeddedFiles()) {
        wxMemoryFSHandler::AddFile(MemoryFolder + wxString::FromUTF8(file.name), file.data, file.size);
    }
    // Texts are shown as written, never looked up in a translation catalogue.
    resources.SetFlags(wxXRC_NO_RELOADING);
    resources.InitAllHandlers();
    resources.InsertHandler(new DialogHandler);
    if (!resources.Load(wxString("memory:") + MemoryFolder + "Dialogs.xrc")) {
        throw std::logic_error("the embedded dialog resources do not load");
    }
    loaded = true;
    return resources;
}

wxString NoneButtonName(int firstId) { return wxString::Format("no-choice-%d", firstId); }

}  // namespace

const wxXmlNode* DialogNode(const char* name) { return Resources().GetResourceNode(name); }

void LoadDialog(wxDialog& dialog, wxWindow* parent, const char* name) {
    // Asked first: a failed load reports through the log, which would show
    // a box of its own.
    if (!DialogNode(name) || !Resources().LoadDialog(&dialog, parent, name)) {
        throw std::logic_error(std::string("no dialog resource ") + name);
    }
}

void ReplacePlaceholder(wxWindow& placeholder, wxWindow& control) {
    control.SetSize(placeholder.GetRect());
    control.MoveBeforeInTabOrder(&placeholder);
    placeholder.Destroy();
}

std::vector<wxRadioButton*> RadioGroup(const wxWindow& dialog, int firstId) {
    std::vector<wxRadioButton*> group;
    const wxWindowList& children = dialog.GetChildren();
    auto it = std::find_if(children.begin(), children.end(), [&](wxWindow* w) { return w->GetId() == firstId; });
    for (; it != children.end(); ++it) {
        auto* button = wxDynamicCast(*it, wxRadioButton);
        if (!button || (!group.empty() && button->HasFlag(wxRB_GROUP))) break;
        group.push_back(button);
    }
    return group;
}

int GetRadioIndex(const std::vector<wxRadioButton*>& group) {
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (group[i]->GetValue()) return static_cast<int>(i);
    }
    return -1;
}

void SetRadioIndex(const std::vector<wxRadioButton*>& group, int index) {
    if (group.empty()) return;
    if (index >= 0 && static_cast<std::size_t>(index) < group.size()) {
        group[static_cast<std::size_t>(index)]->SetValue(true);
        return;
    }
    wxWindow* none = group[0]->GetParent()->FindWindow(NoneButtonName(group[0]->GetId()));
    if (auto* noneButton = wxDynamicCast(none, wxRadioButton)) noneButton->SetValue(true);
}

}  // namespace moxtrel::res
