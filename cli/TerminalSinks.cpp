#include "cli/TerminalSinks.h"

#include <algorithm>

#include "platform/Console.h"

namespace moxtrel::cli {

namespace {
constexpr int BarCells = 30;
constexpr int NarrowestLine = 20;

}  // namespace

int TerminalWidth(std::FILE* stream) {
    return platform::TerminalColumns(stream).value_or(TerminalSinks::DefaultWidth);
}

TerminalSinks::TerminalSinks(std::FILE* err, bool showProgress, int width)
    : m_err(err), m_showProgress(showProgress), m_width(std::max(width, NarrowestLine)) {}

TerminalSinks TerminalSinks::ForStderr() {
    bool isTerminal = platform::IsTerminal(stderr);
    return TerminalSinks(stderr, isTerminal, isTerminal ? TerminalWidth(stderr) : DefaultWidth);
}

void TerminalSinks::ShowMessage(const std::string& text, const std::string& caption, MessageKind,
                                const std::string& detail) {
    PrintLine(caption + ": " + text + (detail.empty() ? "" : " (" + detail + ")"));
}

void TerminalSinks::Warn(const std::string& archive, const std::string& map, const std::string& what) {
    PrintLine("warning: " + WarningText(archive, map, what));
}

void TerminalSinks::SetRange(int upper) {
    m_upper = upper;
    m_started = true;
    Redraw();
}

void TerminalSinks::SetPosition(int position) {
    m_position = position;
    Redraw();
}

void TerminalSinks::Step() {
    ++m_position;
    Redraw();
}

void TerminalSinks::SetStatus(const std::string& text) {
    m_status = text;
    Redraw();
}

void TerminalSinks::Finish(bool completed) {
    if (!m_showProgress || !m_started) return;
    ClearLine();
    if (completed && !m_status.empty()) std::fprintf(m_err, "%s\n", m_status.c_str());
    std::fflush(m_err);
    m_started = false;
}

std::string TerminalSinks::ProgressLine() const {
    long long shown = std::clamp(m_position, 0LL, std::max(m_upper, 0LL));
    int percent = m_upper > 0 ? static_cast<int>(shown * 100 / m_upper) : 0;
    // The bar follows the percentage, so the line changes at most once per percent.
    int filled = percent * BarCells / 100;
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(BarCells - filled), '.') + "] ";
    std::string number = std::to_string(percent) + "%";
    line += std::string(4 - std::min<std::size_t>(number.size(), 4), ' ') + number;
    if (!m_status.empty()) line += "  " + m_status;
    // One column stays free so the cursor never wraps to the next line.
    auto room = static_cast<std::size_t>(m_width - 1);
    if (line.size() > room) line.resize(room);
    return line;
}

void TerminalSinks::Redraw() {
    if (!m_showProgress || !m_started) return;
    std::string line = ProgressLine();
    if (line == m_drawn) return;
    std::string blanks = m_drawn.size() > line.size() ? std::string(m_drawn.size() - line.size(), ' ') : "";
    std::fprintf(m_err, "\r%s%s", line.c_str(), blanks.c_str());
    std::fflush(m_err);
    m_drawn = line;
}

void TerminalSinks::ClearLine() {
    if (m_drawn.empty()) return;
    std::fprintf(m_err, "\r%s\r", std::string(m_drawn.size(), ' ').c_str());
    m_drawn.clear();
}

void TerminalSinks::PrintLine(const std::string& line) {
    ClearLine();
    std::fprintf(m_err, "%s\n", line.c_str());
    std::fflush(m_err);
    Redraw();
}

}  // namespace moxtrel::cli
