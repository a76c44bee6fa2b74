// A custom installation with the keyboard alone: every key goes to whatever
// window is in front, as a person's keys do; no clicks, no messages to controls.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "journey.h"
#include "setup/res/resource.h"

namespace {

void Send(std::vector<INPUT> inputs) {
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// Presses the keys together, in front of whatever window has the foreground.
void Keys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(Key(key, false));
    for (auto key = keys.end(); key != keys.begin();)
        inputs.push_back(Key(*--key, true));
    Send(inputs);
}

void Type(const std::string& text) {
    std::vector<INPUT> inputs;
    for (char ch : text) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = static_cast<unsigned char>(ch);
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(input);
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    Send(inputs);
}

// The control that has the keyboard focus in the page's thread.
HWND Focused(HWND page) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(page, nullptr), &info);
    return info.hwndFocus;
}

bool FocusIs(HWND page, int id) {
    return WaitUntil([&] { return Focused(page) == ::GetDlgItem(page, id); }, kEventTimeoutMs);
}

// A page that came up is in front, as a newly opened window is.
HWND InFront(HWND page) {
    if (page)
        WaitUntil([&] { return ::GetForegroundWindow() == page; }, kEventTimeoutMs);
    return page;
}

}  // namespace

TEST_F(Journey, CustomInstallationWithTheKeyboardAlone) {
    const std::string folder = "C:\\Program Files\\Brellic Software\\Keyboard";
    SetupRun run(media.Path());
    WindowSource windows = run.Windows();

    HWND welcome = InFront(run.WaitPage(Page::Welcome));
    ASSERT_TRUE(welcome) << run.Describe();
    Keys({VK_RETURN});  // Next, the default button

    HWND agreement = InFront(WaitForPage(windows, Page::Agreement));
    ASSERT_TRUE(agreement) << DescribeWindows(windows);
    Keys({VK_MENU, 'A'});  // I &agree

    HWND type = InFront(WaitForPage(windows, Page::InstallType));
    ASSERT_TRUE(type) << DescribeWindows(windows);
    ASSERT_TRUE(FocusIs(type, IDC_DEFAULT));
    RECT custom = WindowRect(::GetDlgItem(type, IDC_CUSTOM));
    Pixels unfocused = CaptureScreen(custom);
    Keys({VK_TAB});
    ASSERT_TRUE(FocusIs(type, IDC_CUSTOM));
    EXPECT_TRUE(WaitUntil([&] { return CaptureScreen(custom).rgb != unfocused.rgb; }, kEventTimeoutMs))
        << "the picture button shows where the focus is";
    Keys({VK_SPACE});

    HWND destination = InFront(WaitForPage(windows, Page::Destination));
    ASSERT_TRUE(destination) << DescribeWindows(windows);
    // Escape asks before quitting; No keeps the page.
    Keys({VK_ESCAPE});
    HWND question = WaitForBox(windows, kQuitQuestionText);
    ASSERT_TRUE(question);
    InFront(question);
    Keys({'N'});
    ASSERT_TRUE(WaitGone(question));
    ASSERT_TRUE(InFront(destination));

    ASSERT_TRUE(FocusIs(destination, IDOK));
    Keys({VK_TAB});
    Keys({VK_TAB});
    ASSERT_TRUE(FocusIs(destination, IDC_EDIT));
    Type(folder);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(destination, IDC_EDIT) == folder; }, kEventTimeoutMs))
        << ControlText(destination, IDC_EDIT);
    Keys({VK_MENU, 'D'});  // Add a &desktop shortcut: off
    Keys({VK_MENU, 'S'});  // Add an icon in the &Start Menu: off
    ASSERT_TRUE(WaitUntil(
        [&] { return !IsChecked(destination, IDC_DESKTOP_SHORTCUT) && !IsChecked(destination, IDC_STARTMENU_ICON); },
        kEventTimeoutMs));
    Keys({VK_RETURN});

    HWND confirm = InFront(WaitForPage(windows, Page::Confirm));
    ASSERT_TRUE(confirm) << DescribeWindows(windows);
    EXPECT_EQ(ControlText(confirm, IDC_EDIT),
              "Destination location: \r\n   " + folder + "\\\r\n\r\nDesktop Settings: \r\n");
    Keys({VK_RETURN});  // Install

    HWND finish = InFront(WaitForPage(windows, Page::Finish, 60000));
    ASSERT_TRUE(finish) << DescribeWindows(windows);
    Keys({VK_MENU, 'R'});  // &Run Brellic Pagewright: off
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(finish, IDC_RUN_PROGRAM); }, kEventTimeoutMs));
    Keys({VK_RETURN});  // Finish

    EXPECT_EQ(run.WaitExit(30000), 0);
    EXPECT_FALSE(::FindWindowA(nullptr, kEditorWindowTitle));
    EXPECT_TRUE(FileExists(folder + "\\Scrivo.exe"));
    EXPECT_EQ(RegReadText(HKEY_LOCAL_MACHINE, kProductKey, kSetupPathValue), folder + "\\");
    EXPECT_FALSE(FileExists(DesktopLink()));
    EXPECT_FALSE(DirExists(GroupFolder()));
    EXPECT_EQ(RemoveThroughInstalledPrograms(), "You have successfully removed Brellic Pagewright.");
    EXPECT_FALSE(DirExists(folder));
}
