// Begin: the extraction run, wired to the main dialog. The run itself
// (extract/ExtractionRun) knows no windows; here its reports go to the
// status text, the progress bar and message boxes, the animation plays while
// it works, and the summary of the new package is shown at the end.

#include <wx/animate.h>
#include <wx/button.h>
#include <wx/gauge.h>

#include "extract/ExtractionRun.h"
#include "game/Games.h"
#include "res/Pictures.h"
#include "ui/MoxtrelDlg.h"
#include "ui/WadInfoDlg.h"
#include "widgets/GuiSinks.h"
#include "widgets/WindowRules.h"

namespace moxtrel::ui {

namespace {
constexpr const char* SkippedDataCaption = "Extraction warning";
}  // namespace

// A close asked for during the run ends the program once the run is over,
// as Close does.
void CMoxtrelDlg::OnBegin(wxCommandEvent&) { RunLongWork([this] { RunBegin(); }); }

void CMoxtrelDlg::RunBegin() {
    // Begin is enabled only once a game is chosen; without one it does nothing.
    const std::optional<GameKind> game = GameKindOf(m_nGame);
    if (!game) return;
    widgets::BusyWindow busy(*this);
    widgets::DialogMessageSink messages(*this);
    widgets::GaugeProgressSink progress(*m_ctlProgress);
    widgets::StatusTextSink status(*FindWindow(IdStatus));
    widgets::QuietWarningSink warnings;
    ExtractionSinks sinks{messages, progress, status, warnings, [this] { StartRunAnimation(); }};

    RunResult result = RunExtraction(m_strGameDir, *game, m_registry, sinks);
    switch (result.outcome) {
        case RunOutcome::Completed: {
            FinishCompletedRun();
            // The package lacks what was skipped: the user hears of it before its summary.
            if (result.skipped.Any()) {
                messages.ShowMessage(DescribeSkippedData(result.skipped), SkippedDataCaption, MessageKind::Exclamation);
            }
            CWadInfoDlg summary;
            const WadSummary& s = result.summary;
            summary.SetInfo(s.fileName, s.length, s.total, s.simple, s.animated);
            widgets::ShowModalOverBusyWindow(*this, [&] { return summary.ShowModal(); });
            break;
        }
        case RunOutcome::Abandoned: RestoreAfterAbandonedRun(); break;
        case RunOutcome::Failed: break;  // nothing had started: the controls are as they were
    }
}

void CMoxtrelDlg::StartRunAnimation() {
    m_ctlAnimate->Show();
    m_ctlAnimate->Play();
    widgets::KeepWindowsPainted(true);
}

// The run has already set the progress back to 0 and the status text to
// "Extraction complete!". The clip is closed: only a new main dialog opens it
// again, so a later run shows an empty animation.
void CMoxtrelDlg::FinishCompletedRun() {
    m_ctlAnimate->Stop();
    m_ctlAnimate->SetAnimation(wxNullAnimation);
    m_ctlAnimate->Hide();
    m_btnBegin->Disable();
    FindWindow(IdPointerBegin)->Hide();
    widgets::FocusNextStep(*this, {IdExit});
}

// A file error ended the run after its message: the dialog goes back to the
// state before Begin, so the user can try again.
void CMoxtrelDlg::RestoreAfterAbandonedRun() {
    m_ctlAnimate->Stop();
    m_ctlAnimate->Hide();
    m_ctlProgress->SetValue(0);
    FindWindow(IdStatus)->SetLabel(m_strStatus);
}

}  // namespace moxtrel::ui
