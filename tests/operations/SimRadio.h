#pragma once

#include "sim/PtyRadio.h"
#include "sim/RadioIdentity.h"
#include "sim/SimulatedRadio.h"
