#pragma once

class QWidget;

// How the channel editor judges an entry: red for a value that must not be stored, yellow for
// an accepted value that deserves attention, the normal background for a valid value.
enum class FieldState { Invalid = 0, Warning = 1, Valid = 2 };

// Sets the background of an edit for the state. A disabled edit always shows the button-face
// background, whatever its state.
void ShowState(FieldState state, QWidget* edit);
