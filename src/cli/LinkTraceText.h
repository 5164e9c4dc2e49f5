#pragma once

#include <cstdint>
#include <string>

#include "link/LinkTrace.h"

// The lines --verbose and --trace print for the traffic of the transfer worker.

// One line per exchange: what was asked, and what came back or that nothing acceptable did,
// with the byte counts and the attempt, e.g.
//   "exchange: read piece 0x0001, attempt 1: request 4 bytes (8 sent), reply 516 bytes (524
//   received)"
std::string ExchangeLine(const LinkTraceEvent& event);

// A frame sent or bytes received, in hex with the time since the start in milliseconds, e.g.
//   "[     12.345 ms] tx 6: C0 01 00 B3 4E C1"
// Empty for an exchange event.
std::string TraceLine(const LinkTraceEvent& event, int64_t microsecondsSinceStart);
