#pragma once

#include <cstddef>

// Facts about the terminal the error stream goes to, for drawing progress on it.

// Whether it takes cursor moves (ANSI escape sequences): not a "dumb" terminal; on Windows a
// console that accepts virtual-terminal processing, which this switches on.
bool ErrorTerminalTakesCursorMoves();

// Its width in characters; 80 when it cannot be told.
size_t ErrorTerminalColumns();
