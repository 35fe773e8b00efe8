// The close-on-input rules on a real window whose procedure is the close policy, in a process that
// Wine presents as a Windows NT system.
#include "host/close_policy.h"
#include "host/host_state.h"
#include "support/host_test_support.h"

#include <gtest/gtest.h>

namespace {

struct InputMessage {
    const char* name;
    UINT message;
    WPARAM wParam;
};

const InputMessage ClosingInput[] = {
    {"WM_KEYDOWN", WM_KEYDOWN, 'A'},
    {"WM_SYSKEYDOWN", WM_SYSKEYDOWN, 'X'},
    {"WM_LBUTTONDOWN", WM_LBUTTONDOWN, MK_LBUTTON},
    {"WM_RBUTTONDOWN", WM_RBUTTONDOWN, MK_RBUTTON},
    {"WM_MBUTTONDOWN", WM_MBUTTONDOWN, MK_MBUTTON},
    {"WM_POWERBROADCAST 0", WM_POWERBROADCAST, 0},
    {"WM_POWERBROADCAST 7", WM_POWERBROADCAST, 7},
    {"WM_ACTIVATEAPP 0", WM_ACTIVATEAPP, 0},
    {"WM_POWER PWR_CRITICALRESUME", WM_POWER, PWR_CRITICALRESUME},
};

const InputMessage HarmlessInput[] = {
    {"WM_KEYUP", WM_KEYUP, 'A'},
    {"WM_SYSKEYUP", WM_SYSKEYUP, 'X'},
    {"WM_CHAR", WM_CHAR, 'a'},
    {"WM_LBUTTONUP", WM_LBUTTONUP, 0},
    {"WM_RBUTTONUP", WM_RBUTTONUP, 0},
    {"WM_MBUTTONUP", WM_MBUTTONUP, 0},
    {"WM_LBUTTONDBLCLK", WM_LBUTTONDBLCLK, MK_LBUTTON},
    {"WM_MOUSEWHEEL", WM_MOUSEWHEEL, static_cast<WPARAM>(WHEEL_DELTA) << 16},
    {"WM_ACTIVATEAPP 1", WM_ACTIVATEAPP, 1},
    {"WM_POWER 0", WM_POWER, 0},
    {"WM_POWER 1", WM_POWER, 1},
    {"WM_POWER 2", WM_POWER, 2},
    {"WM_POWER 4", WM_POWER, 4},
    {"WM_SHOWWINDOW 1", WM_SHOWWINDOW, 1},
    {"WM_NULL", WM_NULL, 0},
};

constexpr POINT Reference = {500, 400};

class ClosePolicy : public ::testing::Test {
protected:
    void SetUp() override { ResetHostState(FALSE); }
    void TearDown() override { ResetHostState(FALSE); }

    // Sends the message and tells whether it queued a close.
    bool Closes(UINT message, WPARAM wParam, LPARAM lParam = 0)
    {
        TakePostedClose(window.handle);
        SendMessageA(window.handle, message, wParam, lParam);
        return TakePostedClose(window.handle);
    }

    // Puts the real cursor at the position and tells whether a mouse move then queues a close.
    bool MoveCloses(LONG x, LONG y)
    {
        SetCursorPos(x, y);
        POINT position;
        GetCursorPos(&position);
        EXPECT_EQ(position.x, x) << "the cursor did not move";
        EXPECT_EQ(position.y, y) << "the cursor did not move";
        // The message's own coordinates point far away; only the cursor position counts.
        return Closes(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    }

    void StartMouseRuleAt(POINT position)
    {
        SetCursorPos(position.x, position.y);
        hostState.lastCursor = position;
    }

    PolicyWindow window{DefaultSaverProcedure};
};

TEST_F(ClosePolicy, InputClosesAFullScreenSaver)
{
    for (const InputMessage& input : ClosingInput) {
        EXPECT_TRUE(Closes(input.message, input.wParam)) << input.name << " should close";
    }
    for (const InputMessage& input : HarmlessInput) {
        EXPECT_FALSE(Closes(input.message, input.wParam)) << input.name << " should not close";
    }
    EXPECT_TRUE(IsWindow(window.handle)) << "a queued close is only judged when WM_CLOSE arrives";
}

TEST_F(ClosePolicy, NothingClosesAPreviewAnApprovedOrAVerifyingSaver)
{
    auto expectNothingCloses = [&](const char* state) {
        for (const InputMessage& input : ClosingInput) {
            EXPECT_FALSE(Closes(input.message, input.wParam)) << input.name << " closed " << state;
        }
        StartMouseRuleAt(Reference);
        EXPECT_FALSE(MoveCloses(Reference.x + 50, Reference.y + 50)) << "a mouse move closed " << state;
    };
    hostState.isPreview = TRUE;
    expectNothingCloses("a preview");
    hostState.isPreview = FALSE;
    hostState.closeApproved = 1;
    expectNothingCloses("an approved saver");
    hostState.closeApproved = 0;
    hostState.verifying = TRUE;
    expectNothingCloses("a saver checking a password");
}

TEST_F(ClosePolicy, MouseMovesCloseBeyondFourPixelsFromTheReferencePoint)
{
    StartMouseRuleAt(Reference);
    EXPECT_FALSE(MoveCloses(Reference.x + 2, Reference.y + 2)) << "2 right and 2 down is 4 in all";
    EXPECT_EQ(hostState.lastCursor.x, Reference.x) << "no close, so the reference stays";
    EXPECT_EQ(hostState.lastCursor.y, Reference.y);
    EXPECT_FALSE(MoveCloses(Reference.x - 4, Reference.y)) << "4 to the left";
    EXPECT_TRUE(MoveCloses(Reference.x + 5, Reference.y)) << "5 to the right";
    EXPECT_EQ(hostState.lastCursor.x, Reference.x + 5) << "a close moves the reference point";
    EXPECT_EQ(hostState.lastCursor.y, Reference.y);

    StartMouseRuleAt(Reference);
    EXPECT_TRUE(MoveCloses(Reference.x - 3, Reference.y - 2)) << "3 left and 2 up";

    StartMouseRuleAt(Reference);
    EXPECT_FALSE(MoveCloses(Reference.x + 2, Reference.y)) << "first move of 2";
    EXPECT_FALSE(MoveCloses(Reference.x + 4, Reference.y)) << "second move of 2";
    EXPECT_TRUE(MoveCloses(Reference.x + 6, Reference.y)) << "third move of 2 is 6 from the reference";

    StartMouseRuleAt(Reference);
    EXPECT_FALSE(Closes(WM_MOUSEMOVE, 0, MAKELPARAM(900, 700))) << "the message's coordinates are not used";
}

TEST_F(ClosePolicy, FullScreenKeepsTheCursorHidden)
{
    HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);

    SetCursor(arrow);
    EXPECT_EQ(SendMessageA(window.handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(window.handle), overClient), 1);
    EXPECT_EQ(GetCursor(), nullptr) << "WM_SETCURSOR hides the cursor";

    SetCursor(arrow);
    SendMessageA(window.handle, WM_SHOWWINDOW, TRUE, 0);
    EXPECT_EQ(GetCursor(), nullptr) << "showing the window hides the cursor";

    SetCursor(arrow);
    SendMessageA(window.handle, WM_SHOWWINDOW, FALSE, 0);
    EXPECT_EQ(GetCursor(), arrow) << "hiding the window leaves the cursor alone";

    hostState.isPreview = TRUE;
    EXPECT_EQ(SendMessageA(window.handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(window.handle), overClient), 0)
        << "a preview leaves WM_SETCURSOR to the default procedure";
    EXPECT_EQ(GetCursor(), arrow) << "a preview does not touch the cursor";
}

TEST_F(ClosePolicy, OutsideWindows9xCloseIsNotCheckedAndVerifyIsNotAnswered)
{
    EXPECT_EQ(SendMessageA(window.handle, WM_APP, 0, 0), 0) << "the verify message goes to DefWindowProcA";
    EXPECT_FALSE(TakePostedClose(window.handle));
    SendMessageA(window.handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window.handle)) << "WM_CLOSE destroys the window at once";
    EXPECT_EQ(hostState.closeApproved, 0) << "no approval is recorded";
}

TEST_F(ClosePolicy, AutoPlayQueryClosesAndAnswersWhetherAPasswordIsAsked)
{
    EXPECT_FALSE(Closes(0, 0)) << "message 0 never counts as the AutoPlay query";

    hostState.autoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");
    ASSERT_NE(hostState.autoPlayMessage, 0u);
    TakePostedClose(window.handle);
    EXPECT_EQ(SendMessageA(window.handle, hostState.autoPlayMessage, 0, 0), 0) << "no password provider";
    EXPECT_TRUE(TakePostedClose(window.handle)) << "the AutoPlay query closes the saver";

    hostState.isPreview = TRUE;
    EXPECT_EQ(SendMessageA(window.handle, hostState.autoPlayMessage, 0, 0), 0);
    EXPECT_TRUE(TakePostedClose(window.handle)) << "the AutoPlay query acts in a preview too";
}

}  // namespace
