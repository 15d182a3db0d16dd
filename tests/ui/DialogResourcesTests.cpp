// Every dialog as its resource describes it: the client size and each
// addressed control's rectangle in dialog units of the dialog's own font,
// the controls in the resource's order, and the radio groups.

#include <functional>
#include <memory>

#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include "GuiTest.h"
#include "res/DialogResources.h"
#include "support/FakeDrives.h"
#include "support/FakeRegistry.h"
#include "ui/AboutDlg.h"
#include "ui/LocateDlg.h"
#include "ui/MoxtrelDlg.h"
#include "ui/SearchDlg.h"

namespace moxtrel::test {
namespace {

// "15,10d" as the two numbers it holds.
wxSize DialogUnits(const wxXmlNode& object, const char* param) {
    for (const wxXmlNode* n = object.GetChildren(); n; n = n->GetNext()) {
        long x = 0, y = 0;
        if (n->GetName() == param && n->GetNodeContent().BeforeFirst(',').ToLong(&x) &&
            n->GetNodeContent().AfterFirst(',').BeforeLast('d').ToLong(&y)) {
            return wxSize(static_cast<int>(x), static_cast<int>(y));
        }
    }
    return wxDefaultSize;
}

TEST(DialogResources, PlaceEveryControlInDialogUnitsOfTheDialogsOwnFont) {
    FakeDrives drives;
    FakeRegistry registry;
    const std::pair<const char*, std::function<wxDialog*()>> dialogs[] = {
        {res::DialogAbout, [] { return new ui::CAboutDlg; }},
        {res::DialogMain, [&] { return new ui::CMoxtrelDlg(drives, registry); }},
        {res::DialogWadInfo, [] { return new CWadInfoDlg; }},
        {res::DialogLocate, [&] { return new locate::CLocateDlg(drives); }},
        {res::DialogSearch, [&] { return new locate::CSearchDlg(drives); }},
    };
    for (const auto& [name, make] : dialogs) {
        SCOPED_TRACE(name);
        std::unique_ptr<wxDialog> dlg(make());
        const wxXmlNode* node = res::DialogNode(name);
        ASSERT_NE(node, nullptr);
        // The face is kept even where it is not installed, and the size is
        // measured in it.
        const wxXmlNode* font = node->GetChildren();
        while (font && font->GetName() != "font") font = font->GetNext();
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(dlg->GetFont().GetFaceName(), font->GetChildren()->GetNext()->GetNodeContent());
        EXPECT_EQ(dlg->GetClientSize(), dlg->ConvertDialogToPixels(DialogUnits(*node, "size")));
        std::vector<int> expectedOrder, order;
        for (const wxXmlNode* n = node->GetChildren(); n; n = n->GetNext()) {
            const int id = wxXmlResource::GetXRCID(n->GetAttribute("name"));
            if (n->GetName() != "object" || id <= 0) continue;
            SCOPED_TRACE(id);
            expectedOrder.push_back(id);
            wxRect expected(dlg->ConvertDialogToPixels(wxPoint(DialogUnits(*n, "pos").x, DialogUnits(*n, "pos").y)),
                            dlg->ConvertDialogToPixels(DialogUnits(*n, "size")));
            wxWindow* control = dlg->FindWindow(id);
            wxRect actual = control->GetRect();
            if (actual.height > expected.height &&
                (wxDynamicCast(control, wxRadioButton) || wxDynamicCast(control, wxCheckBox))) {
                // A radio button or check box grows about the middle of its row to fit its mark.
                EXPECT_NEAR(actual.GetTop() + actual.height / 2, expected.GetTop() + expected.height / 2, 1);
                actual.y = expected.y;
                actual.height = expected.height;
            }
            EXPECT_EQ(actual, expected);
        }
        for (wxWindow* child : dlg->GetChildren()) {
            if (child->GetId() > 0) order.push_back(child->GetId());
        }
        EXPECT_EQ(order, expectedOrder);
    }
}

TEST(DialogResources, RadioGroupRunsToTheNextGroupAndCanHaveNoneSelected) {
    FakeDrives drives;
    FakeRegistry registry;
    ui::CMoxtrelDlg dlg{drives, registry};
    std::vector<wxRadioButton*> group = res::RadioGroup(dlg, ui::CMoxtrelDlg::IdQuake);
    ASSERT_EQ(group.size(), 2u);
    EXPECT_EQ(group[1]->GetId(), ui::CMoxtrelDlg::IdHexen2);
    for (int index : {1, 0, -1}) {
        res::SetRadioIndex(group, index);
        EXPECT_EQ(res::GetRadioIndex(group), index);
    }
    EXPECT_THROW(res::LoadDialog(dlg, nullptr, "NoSuchDialog"), std::logic_error);
}

}  // namespace
}  // namespace moxtrel::test
