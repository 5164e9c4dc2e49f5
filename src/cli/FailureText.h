#pragma once

#include <string>

struct FreqRange;

// The failures of radio operations in words, with what to check (English, for the
// command-line tool's error line).

// "the radio did not answer (link error 24): check the cable, that the radio is switched
// on, and the port" - a text for every code the transfer worker leaves.
std::string LinkFailureText(int code);

// A range set in megahertz: "33-48.5 MHz" when receive and transmit hold the same ranges,
// else "receive 33-48.5 MHz, transmit 40-44 MHz"; ranges of a direction are separated by
// commas. "none" for an empty set.
std::string RangeSetMhzText(const FreqRange& set);
