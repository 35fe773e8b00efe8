#include "host/host_state.h"

// Constant-initialised, so it holds these values before any code of the process runs.
SaverHostState hostState = {
    nullptr, FALSE, nullptr, FALSE, 0, nullptr, nullptr, nullptr, {0, 0},
    4,  // mouseThreshold
    0, FALSE,
    NoVerifyYet,  // lastVerifyTick
    nullptr, nullptr,
};
