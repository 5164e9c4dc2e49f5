#pragma once

#include <string>
#include <vector>

// Something in a configuration file that the reader took in its own way: a hand-edited file
// can hold these, a file the program wrote never does.
enum class ConfigProblemKind {
    NotANumber,         // a number field or attribute holds other text: readAs was taken
    UnknownElement,     // an element the format does not have: skipped
    RepeatedElement,    // a field or section given twice in one element: the first one is used
    ChannelWithoutSlot, // a channel element without a usable id: skipped
    SlotOutOfRange,     // a channel id outside 0..199: skipped
    SlotRepeated,       // a channel id given twice: the later element replaces the earlier
    Utf8DeclaredAs1251, // UTF-8 bytes under an encoding="windows-1251" declaration
};

// One problem, where it is and what was made of it. Texts are UTF-8 (the file's own text as
// the XML library gives it).
struct ConfigProblem {
    int line = 0; // line in the file, 0 when unknown
    ConfigProblemKind kind = ConfigProblemKind::NotANumber;
    int channel = -1;    // slot of the channel the problem is in, -1 outside a channel
    std::string element; // the enclosing element when outside a channel (Settings, Channels...)
    std::string field;   // the field, element or attribute concerned
    std::string text;    // the text found there
    std::string readAs;  // what was taken instead; SlotRepeated: the line of the earlier one
};

using ConfigProblems = std::vector<ConfigProblem>;

// The problem in English without its line, UTF-8, e.g.
// channel 5: freq_rx: "41.000" is not a number, read as 0
std::string ConfigProblemText(const ConfigProblem& problem);

// The same in Russian, Windows-1251, e.g. канал 5: freq_rx: «41.000» — не число, прочитано 0
std::string ConfigProblemTextRu(const ConfigProblem& problem);
