#pragma once
// Rules every window of the program keeps under real use: the keyboard
// always has an enabled control to go to, and a close request that comes
// while the window works waits until the work is over.

#include <vector>

class wxWindow;

namespace moxtrel::widgets {

// Puts the keyboard focus on the first of `nextSteps` (control IDs of
// `dialog`) that is shown and enabled. Called after a state change that may
// have disabled the focused control: a window whose focus is gone answers
// no key at all, not even Escape.
void FocusNextStep(wxWindow& dialog, const std::vector<int>& nextSteps);

// Wherever a state change leaves the focus, the active `dialog` takes it
// back to its next step as soon as it is idle: a disabled control keeps no
// focus, and Escape and the mnemonics need one to arrive at all.
void KeepKeyboardAlive(wxWindow& dialog, std::vector<int> nextSteps);

// Long work on the user-interface thread lets paint and timer events through
// (KeepWindowsPainted), and with them the window manager's close request.
// The working window holds such a request and acts on it when the work ends.
class CloseDuringWork {
public:
    // Marks the work for the life of the object.
    class Scope {
    public:
        explicit Scope(CloseDuringWork& owner) : m_owner(owner) { ++m_owner.m_working; }
        ~Scope() { --m_owner.m_working; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        CloseDuringWork& m_owner;
    };

    // Asked first by the window's close handler: true when work runs and
    // the request is held for later.
    bool Hold();
    // Asked when the work has ended: true, once, when a request was held.
    bool TakeHeld();

private:
    int m_working = 0;
    bool m_held = false;
};

}  // namespace moxtrel::widgets
