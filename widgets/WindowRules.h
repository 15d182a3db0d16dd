#pragma once
// A rule every window of the program keeps under real use: the keyboard
// always has an enabled control to go to.

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

}  // namespace moxtrel::widgets
