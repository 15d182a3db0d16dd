// The main dialog's controls and states: the start state, the game choice
// and what it asks Manual Locate for, tool tips and the window menu's About
// item.

#include <wx/animate.h>
#include <wx/button.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/tooltip.h>

#include "GuiTest.h"
#include "locate/DriveMapFixture.h"
#include "locate/gui/LocateGuiTest.h"
#include "support/FakeRegistry.h"
#include "ui/AboutDlg.h"
#include "ui/LocateDlg.h"
#include "ui/MoxtrelDlg.h"

namespace moxtrel::test {
namespace {

using D = ui::CMoxtrelDlg;

constexpr const char* GameChosenText = "Please choose either manual search or auto search.";

struct ControlState {
    bool locate, search, begin;                      // enabled
    bool pointerLocate, pointerSearch, pointerBegin;  // shown
};

void ExpectState(const ui::CMoxtrelDlg& dlg, const ControlState& s) {
    EXPECT_EQ(IsEnabled(dlg, D::IdLocate), s.locate);
    EXPECT_EQ(IsEnabled(dlg, D::IdSearch), s.search);
    EXPECT_EQ(IsEnabled(dlg, D::IdBegin), s.begin);
    EXPECT_EQ(IsShown(dlg, D::IdPointerLocate), s.pointerLocate);
    EXPECT_EQ(IsShown(dlg, D::IdPointerSearch), s.pointerSearch);
    EXPECT_EQ(IsShown(dlg, D::IdPointerBegin), s.pointerBegin);
    // These never change.
    EXPECT_TRUE(IsEnabled(dlg, D::IdQuake));
    EXPECT_FALSE(IsEnabled(dlg, D::IdHexen2));
    EXPECT_TRUE(IsEnabled(dlg, D::IdExit));
}

wxAnimationCtrl& Clip(const ui::CMoxtrelDlg& dlg) {
    return *wxDynamicCast(dlg.FindWindow(D::IdAnimate), wxAnimationCtrl);
}

bool IsChosen(const ui::CMoxtrelDlg& dlg, int id) {
    return static_cast<wxRadioButton*>(dlg.FindWindow(id))->GetValue();
}

class MainDialog : public ::testing::Test {
protected:
    MainDialog() { dlg.Show(); }
    DriveMap map;
    CurrentDirectoryGuard cwd;
    FakeRegistry registry;
    ui::CMoxtrelDlg dlg{map.Service(), registry};
};

TEST_F(MainDialog, OpensWithNoGameChosenAndTheStepButtonsDisabled) {
    ExpectState(dlg, {false, false, false, false, false, false});
    EXPECT_FALSE(IsChosen(dlg, D::IdQuake));
    EXPECT_FALSE(IsChosen(dlg, D::IdHexen2));
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), "Welcome to Moxtrel2\nPick your game to start.");
    EXPECT_TRUE(dlg.GameDirectory().empty());

    // The clip is open but hidden and still.
    EXPECT_FALSE(IsShown(dlg, D::IdAnimate));
    EXPECT_TRUE(Clip(dlg).GetAnimation().IsOk());
    EXPECT_EQ(Clip(dlg).GetAnimation().GetSize(), wxSize(260, 40));
    EXPECT_FALSE(Clip(dlg).IsPlaying());

    EXPECT_EQ(dlg.GetTitle(), "Extract Pak Textures");
    EXPECT_EQ(dlg.GetIcons().GetIconCount(), 2u);
    for (int step : {D::IdLocate, D::IdSearch, D::IdBegin}) {
        EXPECT_EQ(static_cast<wxButton*>(dlg.FindWindow(step))->GetBitmap().GetSize(), wxSize(32, 32)) << step;
    }
}

TEST_F(MainDialog, HasItsFontCaptionSizeAndTexts) {
    EXPECT_EQ(dlg.GetFont().GetPointSize(), 10);
    EXPECT_EQ(dlg.GetFont().GetFaceName(), "Times New Roman");
    EXPECT_EQ(dlg.GetClientSize(), dlg.ConvertDialogToPixels(wxSize(223, 110)));
    EXPECT_EQ(LabelOf(dlg, D::IdQuake), "Quake (tm)");
    EXPECT_EQ(LabelOf(dlg, D::IdHexen2), "Hexen II (tm)");
    EXPECT_EQ(LabelOf(dlg, D::IdLocate), "&Manual Locate");
    EXPECT_EQ(LabelOf(dlg, D::IdSearch), "Search...");
    EXPECT_EQ(LabelOf(dlg, D::IdBegin), "&Begin");
    EXPECT_EQ(LabelOf(dlg, D::IdExit), "E&xit");
}

TEST_F(MainDialog, ShowsToolTipsOnTheStepButtonsOnly) {
    auto tipOf = [&](int id) {
        wxToolTip* tip = dlg.FindWindow(id)->GetToolTip();
        return tip ? tip->GetTip().utf8_string() : std::string();
    };
    EXPECT_EQ(tipOf(D::IdLocate), "Manual Locate...");
    EXPECT_EQ(tipOf(D::IdBegin), "Extract all textures");
    EXPECT_EQ(tipOf(D::IdSearch), "Search for the files...");
    for (int id : {D::IdExit, D::IdQuake, D::IdStatus, D::IdProgress, D::IdAnimate, D::IdPointerBegin}) {
        EXPECT_EQ(tipOf(id), "") << id;
    }
}

TEST_F(MainDialog, ChoosingQuakeEnablesLocateAndSearchWithTheirPointers) {
    Click(dlg, D::IdQuake);
    EXPECT_TRUE(IsChosen(dlg, D::IdQuake));
    ExpectState(dlg, {true, true, false, true, true, false});
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), GameChosenText);
    EXPECT_TRUE(dlg.GameDirectory().empty());
}

TEST_F(MainDialog, ChoosingTheGameAgainAfterAFindStartsOverButKeepsTheBeginPointer) {
    std::string c = map.AddDrive("c", "fixed");
    WriteGame(c.substr(0, c.size() - 1));
    Click(dlg, D::IdQuake);
    LocateOnFirstFixedDrive(dlg);
    ExpectState(dlg, {false, false, true, false, false, true});

    Click(dlg, D::IdQuake);
    ExpectState(dlg, {true, true, false, true, true, true});
    EXPECT_EQ(dlg.GameDirectory(), Native(c + "id1/"));
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), GameChosenText);
}

TEST_F(MainDialog, IconButtonsAnswerTheirMnemonicWhenEnabled) {
    std::string c = map.AddDrive("c", "fixed");
    WriteGame(c.substr(0, c.size() - 1));
    std::vector<int> pressed;
    bool recording = true;
    dlg.Bind(wxEVT_BUTTON, [&](wxCommandEvent& event) {
        if (recording) pressed.push_back(event.GetId());
        event.Skip(!recording);
    });
    auto altKeys = [&](const char* keys) {
        for (; *keys; ++keys) {
            wxKeyEvent press(wxEVT_CHAR_HOOK);
            press.m_keyCode = *keys;
            press.m_altDown = true;
            press.SetEventObject(&dlg);
            dlg.ProcessWindowEvent(press);
        }
    };
    altKeys("MB");
    EXPECT_TRUE(pressed.empty()) << "Manual Locate and Begin are disabled";
    Click(dlg, D::IdQuake);
    altKeys("MBS");  // Search has no mnemonic
    EXPECT_EQ(pressed, (std::vector<int>{D::IdLocate}));

    recording = false;
    LocateOnFirstFixedDrive(dlg);
    recording = true;
    altKeys("MB");
    EXPECT_EQ(pressed, (std::vector<int>{D::IdLocate, D::IdBegin}));
}

// The game chosen is the one Manual Locate asks for.
TEST_F(MainDialog, LocateAsksForTheChosenGame) {
    // A game event while no game is chosen changes nothing.
    wxCommandEvent none(wxEVT_RADIOBUTTON, D::IdQuake);
    dlg.ProcessWindowEvent(none);
    ExpectState(dlg, {false, false, false, false, false, false});

    const std::pair<int, const char*> games[] = {
        {D::IdQuake, "Please find the Quake(tm) game executable directory..."},
        {D::IdHexen2, "Please find the Hexen(tm) 2 game executable directory..."},
    };
    for (const auto& [radio, prompt] : games) {
        // Hexen II is offered disabled: it is chosen the way the radio group
        // reports a choice, whatever the state of its button.
        static_cast<wxRadioButton*>(dlg.FindWindow(radio))->SetValue(true);
        wxCommandEvent choice(wxEVT_RADIOBUTTON, radio);
        dlg.ProcessWindowEvent(choice);
        EXPECT_FALSE(IsChosen(dlg, radio == D::IdQuake ? D::IdHexen2 : D::IdQuake));
        wxTEST_DIALOG(Click(dlg, D::IdLocate), ExpectDialog<locate::CLocateDlg>([&](locate::CLocateDlg& locate) {
                          locate.Show();  // opens it, as ShowModal would
                          EXPECT_EQ(LabelOf(locate, locate::CLocateDlg::IdPrompt), prompt);
                          return wxID_CANCEL;
                      }));
    }
}

TEST_F(MainDialog, TheWindowMenuEndsWithAboutWhichOpensANewBoxEachTime) {
    std::unique_ptr<wxMenu> menu(dlg.CreateWindowMenu());
    wxMenuItem* last = menu->FindItemByPosition(menu->GetMenuItemCount() - 1);
    EXPECT_EQ(last->GetItemLabel(), "&About Moxtrel...");
    EXPECT_EQ(last->GetId(), 0x0010);

    std::vector<const ui::CAboutDlg*> shown;
    auto expectAbout = [&] {
        return ExpectDialog<ui::CAboutDlg>([&](ui::CAboutDlg& about) {
            shown.push_back(&about);
            EXPECT_EQ(about.GetTitle(), "About Moxtrel");
            return wxID_OK;
        });
    };
    // The menu item, twice.
    wxCommandEvent item(wxEVT_MENU, 0x0010);
    wxTEST_DIALOG(dlg.ProcessWindowEvent(item), expectAbout());
    wxTEST_DIALOG(dlg.ProcessWindowEvent(item), expectAbout());
    ASSERT_EQ(shown.size(), 2u);

    // Other commands open nothing.
    wxTestingModalHook noDialogExpected;
    wxCommandEvent other(wxEVT_MENU, 0xF010);
    dlg.ProcessWindowEvent(other);
    noDialogExpected.CheckUnmetExpectations();
}

}  // namespace
}  // namespace moxtrel::test
