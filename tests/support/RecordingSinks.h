#pragma once
// Sinks that remember everything they were told, for tests to read back.

#include <string>
#include <vector>

#include "platform/Sinks.h"

namespace moxtrel::test {

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageKind kind;
    std::string detail;
};

struct Warning {
    std::string archive;
    std::string map;
    std::string what;
};

class RecordingSinks : public MessageSink, public ProgressSink, public StatusSink, public WarningSink {
public:
    using MessageSink::ShowMessage;
    void ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                     const std::string& detail) override {
        messages.push_back({text, caption, kind, detail});
    }
    void SetRange(int upper) override { ranges.push_back(upper); }
    void SetPosition(int position) override {
        positions.push_back(position);
        current = position;
    }
    void Step() override {
        ++steps;
        ++current;
    }
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void Warn(const std::string& archive, const std::string& map, const std::string& what) override {
        warnings.push_back({archive, map, what});
    }

    std::vector<ShownMessage> messages;
    std::vector<int> ranges;
    std::vector<int> positions;
    int steps = 0;
    int current = 0;
    std::vector<std::string> statuses;
    std::vector<Warning> warnings;
};

}  // namespace moxtrel::test
