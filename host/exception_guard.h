#pragma once
// The host's guard against processor faults and other structured exceptions during a mode's run.
#include <cstdint>

using GuardedMode = int32_t (*)(const char* tail);

// Runs mode(tail) and returns its result. An exception that nothing inside handles, the saver's message
// loop and window procedures included, goes to the platform's UnhandledExceptionFilter. When that
// decides to run the handler, screen-saver-running is switched off and the process ends at once with
// the exception code as its exit code (0xC0000005 for an access violation), as Windows itself would
// end it; the mode does not return.
int32_t RunUnderExceptionGuard(GuardedMode mode, const char* tail);
