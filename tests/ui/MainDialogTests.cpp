// The main dialog's controls and states: the start state, the game choice,
// the radio exchange, tool tips and the window menu's About item.

#include <wx/animate.h>
#include <wx/button.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/tooltip.h>

#include "GuiTest.h"
#include "ui/AboutDlg.h"
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

// What a successful Manual Locate does to the dialog.
void EnterDirectoryFound(ui::CMoxtrelDlg& dlg, const std::string& gameDir) {
    dlg.m_strGameDir = gameDir;
    dlg.m_btnBegin->Enable();
    dlg.m_btnLocate->Disable();
    dlg.m_btnSearch->Disable();
    dlg.FindWindow(D::IdPointerLocate)->Hide();
    dlg.FindWindow(D::IdPointerSearch)->Hide();
    dlg.FindWindow(D::IdPointerBegin)->Show();
    dlg.m_strStatus = " Found pak0.pak and pak1.pak";
    dlg.UpdateData(false);
}

class MainDialog : public ::testing::Test {
protected:
    MainDialog() { dlg.Show(); }
    ui::CMoxtrelDlg dlg;
};

TEST_F(MainDialog, OpensWithNoGameChosenAndTheStepButtonsDisabled) {
    ExpectState(dlg, {false, false, false, false, false, false});
    EXPECT_EQ(dlg.m_nGame, -1);
    EXPECT_FALSE(static_cast<wxRadioButton*>(dlg.FindWindow(D::IdQuake))->GetValue());
    EXPECT_FALSE(static_cast<wxRadioButton*>(dlg.FindWindow(D::IdHexen2))->GetValue());
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), "Welcome to Moxtrel2\nPick your game to start.");
    EXPECT_TRUE(dlg.m_strGameDir.empty());

    // The clip is open but hidden and still.
    EXPECT_FALSE(IsShown(dlg, D::IdAnimate));
    EXPECT_TRUE(dlg.m_ctlAnimate->GetAnimation().IsOk());
    EXPECT_EQ(dlg.m_ctlAnimate->GetAnimation().GetSize(), wxSize(260, 40));
    EXPECT_FALSE(dlg.m_ctlAnimate->IsPlaying());

    EXPECT_EQ(dlg.GetTitle(), "Extract Pak Textures");
    EXPECT_EQ(dlg.GetIcons().GetIconCount(), 2u);
    for (wxButton* step : {dlg.m_btnLocate, dlg.m_btnSearch, dlg.m_btnBegin}) {
        EXPECT_EQ(step->GetBitmap().GetSize(), wxSize(32, 32));
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
    EXPECT_EQ(dlg.m_nGame, 0);
    ExpectState(dlg, {true, true, false, true, true, false});
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), GameChosenText);
    EXPECT_EQ(dlg.m_strStatus, GameChosenText);
    EXPECT_TRUE(dlg.m_strGameDir.empty());
}

TEST_F(MainDialog, ChoosingTheGameAgainAfterAFindStartsOverButKeepsTheBeginPointer) {
    Click(dlg, D::IdQuake);
    EnterDirectoryFound(dlg, "/games/quake/id1/");
    ExpectState(dlg, {false, false, true, false, false, true});

    Click(dlg, D::IdQuake);
    ExpectState(dlg, {true, true, false, true, true, true});
    EXPECT_EQ(dlg.m_strGameDir, "/games/quake/id1/");
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), GameChosenText);
}

TEST_F(MainDialog, IconButtonsAnswerTheirMnemonicWhenEnabled) {
    std::vector<int> pressed;
    dlg.Bind(wxEVT_BUTTON, [&](wxCommandEvent& event) { pressed.push_back(event.GetId()); });
    auto altKey = [&](int key) {
        wxKeyEvent press(wxEVT_CHAR_HOOK);
        press.m_keyCode = key;
        press.m_altDown = true;
        press.SetEventObject(&dlg);
        dlg.ProcessWindowEvent(press);
    };
    altKey('M');
    EXPECT_TRUE(pressed.empty()) << "Manual Locate is disabled";
    dlg.m_btnLocate->Enable();
    dlg.m_btnBegin->Enable();
    altKey('M');
    altKey('B');
    altKey('S');  // Search has no mnemonic
    EXPECT_EQ(pressed, (std::vector<int>{D::IdLocate, D::IdBegin}));
}

TEST_F(MainDialog, ExchangesTheGameWithTheRadioGroup) {
    auto quake = static_cast<wxRadioButton*>(dlg.FindWindow(D::IdQuake));
    auto hexen = static_cast<wxRadioButton*>(dlg.FindWindow(D::IdHexen2));

    dlg.m_nGame = 1;
    dlg.UpdateData(false);
    EXPECT_FALSE(quake->GetValue());
    EXPECT_TRUE(hexen->GetValue());
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_nGame, 1);

    dlg.m_nGame = 0;
    dlg.UpdateData(false);
    EXPECT_TRUE(quake->GetValue());
    EXPECT_FALSE(hexen->GetValue());

    // -1 selects neither, and saving none gives -1.
    dlg.m_nGame = -1;
    dlg.UpdateData(false);
    EXPECT_FALSE(quake->GetValue());
    EXPECT_FALSE(hexen->GetValue());
    dlg.m_nGame = 5;
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_nGame, -1);

    // A game handler with no game selected changes nothing.
    wxCommandEvent click(wxEVT_RADIOBUTTON, D::IdQuake);
    dlg.OnSelectGame(click);
    ExpectState(dlg, {false, false, false, false, false, false});
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
    // The menu item, then the command itself, with the low bits set as
    // the system may set them.
    wxCommandEvent item(wxEVT_MENU, 0x0010);
    wxTEST_DIALOG(dlg.ProcessWindowEvent(item), expectAbout());
    wxTEST_DIALOG(dlg.OnSysCommand(0x0013, 0), expectAbout());
    ASSERT_EQ(shown.size(), 2u);

    // Other system commands open nothing.
    wxTestingModalHook noDialogExpected;
    dlg.OnSysCommand(0xF010, 0);
    noDialogExpected.CheckUnmetExpectations();
}

}  // namespace
}  // namespace moxtrel::test
