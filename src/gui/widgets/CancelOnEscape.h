#pragma once

class QPushButton;
class QWidget;

namespace kx3 {

/// Escape anywhere in `scope` presses `button` whenever its caption reads
/// "Cancel": a mode or dialog is left the way its own button leaves it, and
/// a button that reads "Exit" (which ends the program) is never pressed.
void cancelOnEscape(QWidget *scope, QPushButton *button);

} // namespace kx3
