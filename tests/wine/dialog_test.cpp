// Dialog objects and the controls they take over are found from their windows,
// and let go when the window goes, so one object serves every run.
#include <gtest/gtest.h>

#include "framework/button.h"
#include "framework/dialog.h"
#include "modal_thread.h"
#include "setup/res/resource.h"
#include "ui_driver.h"

namespace {
class OkButtonDialog : public CDialog {
public:
    OkButtonDialog() : CDialog(IDD_DEBUGMESSAGE) {}
    CButton m_btnOk;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDOK, m_btnOk); }
};
}  // namespace

TEST(FrameworkDialog, DialogAndItsControlAreFoundFromTheirWindowsOnEveryRun) {
    OkButtonDialog dialog;
    for (int run = 1; run <= 2; ++run) {
        ModalThread thread([&dialog] { return dialog.DoModal(); });
        HWND window =
            WaitFor(WindowsOfThread(thread.ThreadId()), [](HWND hwnd) { return WindowClass(hwnd) == "#32770"; });
        ASSERT_TRUE(window) << "run " << run;
        EXPECT_EQ(CWnd::FromHandle(window), &dialog) << "run " << run;
        EXPECT_EQ(CWnd::FromHandle(::GetDlgItem(window, IDOK)), &dialog.m_btnOk) << "run " << run;
        PressButton(window, IDOK);
        ASSERT_TRUE(thread.Wait()) << "run " << run;
        EXPECT_EQ(thread.Result(), IDOK) << "run " << run;
        EXPECT_EQ(dialog.m_btnOk.m_hWnd, nullptr) << "the button let go with its window";
    }
}
