#pragma once

// The simulated radio's headers name their information block sizes as the model does; the
// renaming keeps both sets of names apart in one translation unit.
#define INFO_BLOCK0_SIZE SIM_INFO_BLOCK0_SIZE
#define INFO_BLOCK1_SIZE SIM_INFO_BLOCK1_SIZE
#define INFO_BLOCK2_SIZE SIM_INFO_BLOCK2_SIZE
#include "sim/PtyRadio.h"
#include "sim/RadioIdentity.h"
#include "sim/SimulatedRadio.h"
#undef INFO_BLOCK0_SIZE
#undef INFO_BLOCK1_SIZE
#undef INFO_BLOCK2_SIZE
