#pragma once
// What our windows must ask of a Wayland compositor themselves, with Qt 6.4
// as it is. Both do nothing on other platforms, where the window manager and
// Qt already see to it.

class QWindow;

namespace platform {

// Sends `window`'s cursor to the compositor again. Qt sends it only when the
// shape it last sent changes, and a pointer entering a surface shows the
// compositor's own image until the client sends one: a blank cursor set
// before the pointer came would not hide it. Called when the pointer enters.
void ResendCursor(QWindow& window);

// Asks the compositor to give `window` (just shown) the keyboard, retrying
// briefly until it has it. sway leaves the focus with a full-screen window
// when a dialog of its own opens over it; the user's key press that opened
// the dialog entitles us to ask.
void AskForFocus(QWindow& window);

}  // namespace platform
