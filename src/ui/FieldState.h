#pragma once

#include <QColor>

class QWidget;

// How the channel editor judges an entry: red for a value that must not be stored, yellow for
// an accepted value that deserves attention, the normal background for a valid value.
enum class FieldState { Invalid = 0, Warning = 1, Valid = 2 };

// Background of an enabled edit in the state; an invalid colour (QColor()) for Valid, which
// keeps the edit's normal background.
QColor StateColour(FieldState state);

// Sets the background of an edit for the state. A disabled edit shows the button-face
// background whatever its state, unless evenDisabled asks for the state colour there too.
void ShowState(FieldState state, QWidget* edit, bool evenDisabled = false);
