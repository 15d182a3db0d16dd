#pragma once
// The sinks of moxtrel-cli: every message of a run goes to stderr as
// "CAPTION: TEXT", every skipped map or texture as "warning: ARCHIVE: MAP:
// what", and, when stderr is a terminal, a progress bar with the current
// status text is redrawn in place on one line. stdout is left to the results.

#include <cstdio>
#include <string>

#include "platform/Sinks.h"

namespace moxtrel::cli {

class TerminalSinks : public MessageSink, public ProgressSink, public StatusSink, public WarningSink {
public:
    // Writes to `err`; draws the progress line only when `showProgress`.
    // `width` is the number of columns the line may take (a longer line would
    // wrap, and a carriage return could no longer redraw it).
    TerminalSinks(std::FILE* err, bool showProgress, int width = DefaultWidth);

    // For stderr: progress only when it is a terminal, as wide as the terminal.
    static TerminalSinks ForStderr();

    using MessageSink::ShowMessage;
    // "CAPTION: TEXT (DETAIL)", or "CAPTION: TEXT" without a detail.
    void ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                     const std::string& detail) override;
    void Warn(const std::string& archive, const std::string& map, const std::string& what) override;
    void SetRange(int upper) override;
    void SetPosition(int position) override;
    void Step() override;
    void SetStatus(const std::string& text) override;

    // Takes the progress line away at the end of a run. After a completed run
    // the last status text ("Extraction complete!") stays in its place on a
    // line of its own; after a failure the messages printed above say enough.
    void Finish(bool completed);

    static constexpr int DefaultWidth = 80;

private:
    // The progress line as it would be drawn now: bar, percentage, status.
    std::string ProgressLine() const;
    // Redraws the line when what it shows has changed, so a run of thousands
    // of steps writes at most one line per percent.
    void Redraw();
    // Blanks the progress line so a message can take its place.
    void ClearLine();
    void PrintLine(const std::string& line);

    std::FILE* m_err;
    bool m_showProgress;
    int m_width;
    long long m_upper = 0;
    long long m_position = 0;
    std::string m_status;
    std::string m_drawn;  // the line on screen now; empty when none is
    bool m_started = false;  // a range was set: the work that moves the bar has begun
};

// The width of the terminal `stream` writes to in columns, DefaultWidth when it tells none.
int TerminalWidth(std::FILE* stream);

}  // namespace moxtrel::cli
