#pragma once

#include "cli/JsonWriter.h"

class TInfoContext;

// The radio's information as a JSON object (the value of the "radio" key): texts in UTF-8,
// frequencies in hertz, versions as "major.minor" texts. Keys are listed in the README
// ("Machine-readable output").
void WriteRadioJson(JsonWriter& json, const TInfoContext& info);
