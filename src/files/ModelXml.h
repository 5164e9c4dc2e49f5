#pragma once

#include <libxml/tree.h>

#include "files/ConfigProblem.h"

#include "model/Channel.h"
#include "model/ChannelsContext.h"
#include "model/FreqRange.h"
#include "model/SettingsContext.h"

// The model's records in the configuration file and in the range-list file.

// The loaders below add what a hand-edited file holds that they take in their own way (a value
// that is not a number, an element the format does not have...) to problems when it is given;
// what they load is the same with or without it.

// Reads a FreqRange element (rx0..rx3, then tx0..tx3, each direction stopping at the first
// missing slot). The set is cleared first. False when the element is null, or a present slot
// lacks begin or end or either reads as 0; the set then holds what was read so far.
bool LoadFromXml(FreqRange& range, xmlNodePtr element, ConfigProblems* problems = nullptr);

// Appends a FreqRange element to parent with the slots up to the first one whose begin is 0.
void SaveToXml(const FreqRange& range, xmlNodePtr parent);

// Reads one channel element: every field from its child, with the file's defaults (number
// keeps its value when absent); then orders the power levels, and resets a channel whose two
// frequencies are both negative.
// slot names the channel in problems.
void LoadFromXml(Channel& channel, xmlNodePtr element, ConfigProblems* problems = nullptr,
                 int slot = -1);

// Writes the fields of the channel as children of element. Swaps the power levels in the
// channel itself first when they are out of order.
void SaveToXml(Channel& channel, xmlNodePtr element);

// Reads the Channels element: InitAll, then every child named channel with an id 0..199.
void LoadFromXml(ChannelsContext& channels, xmlNodePtr element, ConfigProblems* problems = nullptr);

// Writes a channel element with attribute id for every used channel into element.
void SaveToXml(ChannelsContext& channels, xmlNodePtr element);

// Reads the Settings element; a null element gives every field the file's default. Leaves
// ProgramCount and lastError alone.
void LoadFromXml(SettingsContext& settings, xmlNodePtr element, ConfigProblems* problems = nullptr);

// Adds to problems every child element of element whose name is not among known (a list
// ending with null), and every one given a second time. where names element in problems
// (channel: its slot when >= 0).
void CheckChildren(xmlNodePtr element, const char* const known[], const std::string& where,
                   int channel, ConfigProblems* problems);

// Sets the attribute version ("0x%04X") of element and appends the 39 settings children.
void SaveToXml(const SettingsContext& settings, xmlNodePtr element);
