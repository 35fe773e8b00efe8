#include "host/host_state.h"

#include <gtest/gtest.h>

TEST(HostState, StartsWithItsInitialValues)
{
    EXPECT_EQ(hostState.instance, nullptr);
    EXPECT_FALSE(hostState.isWin9x);
    EXPECT_EQ(hostState.saverWindow, nullptr);
    EXPECT_FALSE(hostState.isPreview);
    EXPECT_EQ(hostState.autoPlayMessage, 0u);
    EXPECT_EQ(hostState.imeModule, nullptr);
    EXPECT_EQ(hostState.associateContext, nullptr);
    EXPECT_EQ(hostState.savedInputContext, nullptr);
    EXPECT_EQ(hostState.lastCursor.x, 0);
    EXPECT_EQ(hostState.lastCursor.y, 0);
    EXPECT_EQ(hostState.mouseThreshold, 4u);
    EXPECT_EQ(hostState.closeApproved, 0);
    EXPECT_FALSE(hostState.verifying);
    EXPECT_EQ(hostState.lastVerifyTick, 0xFFFFFFFFu);
    EXPECT_EQ(hostState.passwordModule, nullptr);
    EXPECT_EQ(hostState.verifyPassword, nullptr);
}
