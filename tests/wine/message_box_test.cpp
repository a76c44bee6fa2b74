// The framework's message boxes: caption, icon rule, and the white background
// with black text that setup gives every dialog and message box.
#include <gtest/gtest.h>

#include "modal_thread.h"
#include "screenshot.h"
#include "test_app.h"
#include "ui_driver.h"

TEST(FrameworkMessageBox, ExclamationIsAddedOnlyWhenTheCallerNamesNoIcon) {
    struct Case {
        UINT in;
        UINT out;
    } cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNO | MB_SYSTEMMODAL, MB_YESNO | MB_SYSTEMMODAL | MB_ICONEXCLAMATION},
        {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION},
        {MB_RETRYCANCEL, MB_RETRYCANCEL},
        {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
        {MB_OK | MB_ICONINFORMATION, MB_OK | MB_ICONINFORMATION},
        {MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AfxMessageBoxFlags(c.in), c.out) << std::hex << c.in;
}

TEST(FrameworkMessageBox, CaptionIsTheProgramTitleAndTheBoxIsWhite) {
    TestSetupApp app;
    ModalThread thread([&app] {
        app.SetDialogBkColor(RGB(255, 255, 255), RGB(0, 0, 0));  // colours the boxes of its own thread
        return static_cast<INT_PTR>(AfxMessageBox("A test message.", MB_OK));
    });
    HWND box = WaitForMessageBox(::GetCurrentProcessId(), "A test message.");
    ASSERT_TRUE(box);
    EXPECT_EQ(WindowText(box), "setup");
    ::RedrawWindow(box, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
    RECT client;
    ::GetClientRect(box, &client);
    POINT origin{0, 0};
    ::ClientToScreen(box, &origin);
    RECT area{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    Pixels pixels = CaptureScreen(area);
    ASSERT_FALSE(pixels.Empty());
    EXPECT_EQ(pixels.At(2, pixels.height / 2), RGB(255, 255, 255)) << "left edge of the box";
    EXPECT_EQ(pixels.At(pixels.width - 3, 2), RGB(255, 255, 255)) << "top right corner of the box";
    PressButton(box, IDOK);
    ASSERT_TRUE(thread.Wait());
    EXPECT_EQ(thread.Result(), IDOK);
}
