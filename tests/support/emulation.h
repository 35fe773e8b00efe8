// Where an emulator, not the processor, runs a test program, tools/wine-run names it in
// TESSALINE_EMULATOR ("qemu-i386 10.0.2"; empty where the processor runs it). Checks of results
// that only the real processor gives are skipped there, with the reason.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#define SKIP_UNDER_EMULATION(why)                                                   \
    if (const char* emulator = std::getenv("TESSALINE_EMULATOR"); emulator && *emulator) \
    GTEST_SKIP() << "under " << emulator << " user-mode emulation: " << why
