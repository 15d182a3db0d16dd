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
    // A failure the user must see, with its fixed text and caption. `detail`
    // names the file and the system's reason ("/games/quake/id1/PAK1.PAK:
    // Permission denied"), or is empty where the text says it all.
    virtual void ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                             const std::string& detail) = 0;
    void ShowMessage(const std::string& text, const std::string& caption, MessageKind kind) {
        ShowMessage(text, caption, kind, std::string());
    }
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
    // Data that was skipped because it is damaged or cannot be read: a whole
    // archive or a part of its directory (`map` empty), a map, or a texture
    // (`what` then begins with "texture"); `what` says what was wrong.
    virtual void Warn(const std::string& archive, const std::string& map, const std::string& what) = 0;
};

// A warning as the user reads it: "ARCHIVE: MAP: what", or "ARCHIVE: what"
// for a fault of the whole archive.
inline std::string WarningText(const std::string& archive, const std::string& map, const std::string& what) {
    return archive + ": " + (map.empty() ? "" : map + ": ") + what;
}

// Sinks that swallow everything, for callers that want no output of a kind.
class NullSinks : public MessageSink, public ProgressSink, public StatusSink, public WarningSink {
public:
    using MessageSink::ShowMessage;
    void ShowMessage(const std::string&, const std::string&, MessageKind, const std::string&) override {}
    void SetRange(int) override {}
    void SetPosition(int) override {}
    void Step() override {}
    void SetStatus(const std::string&) override {}
    void Warn(const std::string&, const std::string&, const std::string&) override {}
};

}  // namespace moxtrel
