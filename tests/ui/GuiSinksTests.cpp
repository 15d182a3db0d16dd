// The window sides of the sinks: status text, progress bar, message boxes,
// repainting during long work, and the attention request.

#include <chrono>

#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "GuiTest.h"
#include "support/FakeDrives.h"
#include "support/FakeRegistry.h"
#include "widgets/GuiSinks.h"
#include "ui/MoxtrelDlg.h"
#include "widgets/UserAttention.h"

namespace moxtrel::test {
namespace {

using D = ui::CMoxtrelDlg;

class Sinks : public ::testing::Test {
protected:
    Sinks() { dlg.Show(); }
    wxGauge& Gauge() { return *static_cast<wxGauge*>(dlg.FindWindow(D::IdProgress)); }
    FakeDrives drives;
    FakeRegistry registry;
    ui::CMoxtrelDlg dlg{drives, registry};
};

// The dialog's own status text comes back after a run that failed
// (BeginRun.AfterAFileErrorTheDialogIsReadyToTryAgain).
TEST_F(Sinks, StatusTextIsSetOnTheControl) {
    widgets::StatusTextSink status(*dlg.FindWindow(D::IdStatus));
    status.SetStatus("Writing directory table. Please wait...");
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), "Writing directory table. Please wait...");
}

TEST_F(Sinks, ProgressStaysWithinItsRange) {
    widgets::GaugeProgressSink progress(Gauge());
    progress.SetRange(3);
    progress.Step();
    progress.Step();
    EXPECT_EQ(Gauge().GetValue(), 2);
    progress.Step();
    progress.Step();
    EXPECT_EQ(Gauge().GetValue(), 3);
    progress.SetPosition(7);
    EXPECT_EQ(Gauge().GetValue(), 3);
    progress.SetPosition(0);
    EXPECT_EQ(Gauge().GetValue(), 0);
    // An empty package has nothing to count: an empty bar.
    progress.SetRange(0);
    progress.Step();
    EXPECT_LE(Gauge().GetValue(), Gauge().GetRange());
}

TEST_F(Sinks, MessagesAreBoxesOwnedByTheDialog) {
    widgets::DialogMessageSink messages(dlg);
    wxTEST_DIALOG(messages.ShowMessage("Invalid file path", "Extraction Error", MessageKind::Plain),
                  ExpectDialog<widgets::MessageDialog>([&](widgets::MessageDialog& box) {
                      EXPECT_EQ(box.GetParent(), &dlg);
                      EXPECT_EQ(box.GetMessageDialogStyle() & wxICON_MASK, 0);
                      return wxID_OK;
                  }));
    // A box shown during busy work gets the mouse; the work gets it back.
    widgets::BusyWindow busy(dlg);
    EXPECT_TRUE(dlg.HasCapture());
    wxTEST_DIALOG(messages.ShowMessage("Could not create wad file.", "File IO error", MessageKind::Exclamation),
                  ExpectMessageBox("Could not create wad file.", "File IO error", wxICON_EXCLAMATION,
                                   [&] { EXPECT_FALSE(dlg.HasCapture()); }));
    EXPECT_TRUE(dlg.HasCapture());
}

// Long work keeps timers (the animation) and painting going, while clicks
// wait until it is done.
TEST_F(Sinks, KeepingWindowsPaintedRunsTimersButHoldsUserInput) {
    int ticks = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { ++ticks; });
    timer.Start(5);
    int clicks = 0;
    dlg.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { ++clicks; }, D::IdExit);
    dlg.GetEventHandler()->QueueEvent(new wxCommandEvent(wxEVT_BUTTON, D::IdExit));

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (ticks == 0 && std::chrono::steady_clock::now() < deadline) widgets::KeepWindowsPainted();
    timer.Stop();
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(clicks, 0);

    dlg.GetEventHandler()->ProcessPendingEvents();
    EXPECT_EQ(clicks, 1);
}

TEST_F(Sinks, FlashingAsksForAttentionThroughTheSeam) {
    std::vector<bool> flashes;
    widgets::FlashHandler previous =
        widgets::SetFlashHandler([&](wxTopLevelWindow& window, bool invert) {
            EXPECT_EQ(&window, &dlg);
            flashes.push_back(invert);
        });
    widgets::FlashWindow(dlg, true);
    widgets::FlashWindow(dlg, false);
    widgets::SetFlashHandler(previous);
    EXPECT_EQ(flashes, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace moxtrel::test
