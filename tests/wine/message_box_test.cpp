// The framework's message boxes: caption, icon rule, and the white background
// with black text that setup gives every dialog and message box, each thread's
// own colours, ending with the application.
#include <gtest/gtest.h>

#include "framework/scoped_handles.h"
#include "modal_thread.h"
#include "screenshot.h"
#include "test_app.h"
#include "ui_driver.h"

namespace {
struct Colours {
    COLORREF background;
    COLORREF text;
    bool operator==(const Colours&) const = default;
};

// What the dialog tells the system to paint its background with.
Colours ColoursOf(HWND dialog) {
    ScopedMemoryDC dc(::CreateCompatibleDC(nullptr));
    auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageA(dialog, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(dialog)));
    LOGBRUSH logical{};
    if (!brush || !::GetObjectA(brush, sizeof logical, &logical))
        logical.lbColor = CLR_INVALID;
    return {logical.lbColor, ::GetTextColor(dc.Get())};
}
}  // namespace

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
    HWND box = WaitForBox(WindowsOfProcess(::GetCurrentProcessId()), "A test message.");
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

TEST(FrameworkMessageBox, EachThreadKeepsItsOwnColoursUntilTheApplicationEnds) {
    const Colours first{RGB(200, 30, 40), RGB(10, 90, 10)};
    const Colours second{RGB(20, 60, 210), RGB(250, 200, 0)};
    TestSetupApp app;
    ScopedHandle ended(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    // The first thread shows a second box after the application's end.
    ModalThread firstThread([&] {
        app.SetDialogBkColor(first.background, first.text);
        AfxMessageBox("first thread", MB_OK);
        ::WaitForSingleObject(ended.Get(), 15000);
        return static_cast<INT_PTR>(AfxMessageBox("after the end", MB_OK));
    });
    ModalThread secondThread([&] {
        app.SetDialogBkColor(second.background, second.text);
        return static_cast<INT_PTR>(AfxMessageBox("second thread", MB_OK));
    });
    HWND firstBox = WaitForBox(WindowsOfProcess(::GetCurrentProcessId()), "first thread");
    HWND secondBox = WaitForBox(WindowsOfProcess(::GetCurrentProcessId()), "second thread");
    ASSERT_TRUE(firstBox && secondBox);
    EXPECT_EQ(ColoursOf(firstBox), first);
    EXPECT_EQ(ColoursOf(secondBox), second);
    PressButton(firstBox, IDOK);
    PressButton(secondBox, IDOK);
    ASSERT_TRUE(secondThread.Wait());

    app.ExitInstance();
    ::SetEvent(ended.Get());
    HWND afterBox = WaitForBox(WindowsOfProcess(::GetCurrentProcessId()), "after the end");
    ASSERT_TRUE(afterBox);
    EXPECT_NE(ColoursOf(afterBox).background, first.background) << "no colours once the application has ended";
    PressButton(afterBox, IDOK);
    ASSERT_TRUE(firstThread.Wait());
}
