#pragma once
// The host's guard against processor faults and other structured exceptions during a mode's run.
#include <cstdint>

using GuardedMode = int32_t (*)(const char* tail);

// Keeps the system's fault report and critical-error boxes away from the process, the error-mode bits
// already set kept. Such a box waits for the user, under a full-screen saver window that stays on top
// of everything with the cursor hidden, painted by nobody, since its only thread is the one waiting.
void SilenceSystemErrorBoxes();

// Runs mode(tail) and returns its result. An exception that nothing inside handles, the saver's message
// loop and window procedures included, goes to the platform's UnhandledExceptionFilter. When that
// decides to run the handler, screen-saver-running is switched off and the process ends at once with
// the exception code as its exit code (0xC0000005 for an access violation); the mode does not return.
int32_t RunUnderExceptionGuard(GuardedMode mode, const char* tail);
