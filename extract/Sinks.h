#pragma once
// The small interfaces through which the window-free work reports to whoever
// runs it: the main dialog sets its controls, moxtrel-cli prints, tests record.

#include <string>

namespace moxtrel {

// The icon of a message box: a plain OK box, or one with the exclamation mark.
enum class MessageKind { Plain, Exclamation };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // A failure the user must see, with its fixed text and caption.
    virtual void ShowMessage(const std::string& text, const std::string& caption, MessageKind kind) = 0;
};

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // The bar runs from 0 to `upper`.
    virtual void SetRange(int upper) = 0;
    virtual void SetPosition(int position) = 0;
    // Moves the bar on by one position.
    virtual void Step() = 0;
};

class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void SetStatus(const std::string& text) = 0;
};

class WarningSink {
public:
    virtual ~WarningSink() = default;
    // A map or texture of an archive that was skipped because its data does
    // not fit in the archive; `what` says what was wrong.
    virtual void Warn(const std::string& archive, const std::string& map, const std::string& what) = 0;
};

// Sinks that swallow everything, for callers that want no output of a kind.
class NullSinks : public MessageSink, public ProgressSink, public StatusSink, public WarningSink {
public:
    void ShowMessage(const std::string&, const std::string&, MessageKind) override {}
    void SetRange(int) override {}
    void SetPosition(int) override {}
    void Step() override {}
    void SetStatus(const std::string&) override {}
    void Warn(const std::string&, const std::string&, const std::string&) override {}
};

}  // namespace moxtrel
