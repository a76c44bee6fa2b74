// Walks setup's default installation from a copy of the media, as a person
// would, on the screen it is given, and saves a screenshot of every page and
// message box (and of a hovered and a pressed button) in build\screens.
// First a short run that quits, for the quit question and the interrupted page.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "screenshot.h"
#include "setup/res/resource.h"
#include "test_fs.h"
#include "test_paths.h"
#include "ui_driver.h"
#include "wizard_driver.h"

namespace {

int g_shot = 0;

void Shot(const std::string& name) {
    Settle();
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "%02d-", ++g_shot);
    std::string path = ScreenshotPath(prefix + name);
    std::printf("%s %s\n", SaveScreenshot(path) ? "saved" : "could not save", path.c_str());
}

struct Failure {
    std::string what;
};

class Walk {
public:
    Walk(const std::string& setup, const std::string& args, const std::string& folder)
        : m_process(setup, args, folder), m_windows(WindowsOfProcess(m_process.Id())) {
        if (!m_process.Started())
            throw Failure{"setup.exe did not start"};
    }

    // Waits for the page, answering the message boxes that come before it.
    HWND Expect(Page page) {
        for (;;) {
            HWND shown = WaitFor(m_windows, [&](HWND hwnd) { return PageOf(hwnd) == page || IsMessageBox(hwnd); });
            if (!shown)
                throw Failure{std::string("no ") + PageName(page) + " page: " + DescribeWindows(m_windows)};
            if (!IsMessageBox(shown)) {
                Shot(Slug(PageName(page)));
                return shown;
            }
            AnswerBox(shown);
        }
    }

    HWND Press(HWND page, int button, Page next) {
        Click(page, button);
        if (!WaitGone(page))
            throw Failure{"the page stayed after a click"};
        return Expect(next);
    }

    void AnswerBox(HWND box) {
        std::string text = MessageBoxText(box);
        Shot("box-" + Slug(text.substr(0, 32)));
        int button = IDOK;
        if (text.find("not an administrator") != std::string::npos || text.find("reinstall") != std::string::npos ||
            text.find("Are you sure you want to quit") != std::string::npos)
            button = IDYES;
        else if (text.find("backup") != std::string::npos)
            button = IDNO;
        std::printf("answered \"%s\" with %d\n", text.c_str(), button);
        if (!Answer(box, button))
            throw Failure{"a message box did not close"};
    }

    HWND WaitForBox(const std::string& fragment) {
        HWND box = ::WaitForBox(m_windows, fragment);
        if (!box)
            throw Failure{"no box \"" + fragment + "\": " + DescribeWindows(m_windows)};
        return box;
    }

    int Exit() { return m_process.WaitExit(60000); }

private:
    static std::string Slug(const std::string& text) {
        std::string slug;
        for (char ch : text)
            slug += (std::isalnum(static_cast<unsigned char>(ch)) ? static_cast<char>(std::tolower(ch)) : '-');
        return slug;
    }
    ChildProcess m_process;
    WindowSource m_windows;
};

// Waits until the control's face differs from what it showed before (the redraw happened).
void WaitForRedraw(HWND dialog, int id, const Pixels& before) {
    RECT rc = WindowRect(::GetDlgItem(dialog, id));
    WaitUntil([&] { return CaptureScreen(rc).rgb != before.rgb; }, 2000);
}

Pixels ControlPixels(HWND dialog, int id) {
    return CaptureScreen(WindowRect(::GetDlgItem(dialog, id)));
}

void QuitEarly(const std::string& setup, const std::string& args, const std::string& folder) {
    Walk walk(setup, args, folder);
    HWND welcome = walk.Expect(Page::Welcome);
    Click(welcome, IDCANCEL);
    walk.AnswerBox(walk.WaitForBox("Are you sure you want to quit"));
    HWND interrupted = walk.Expect(Page::Interrupted);
    Click(interrupted, IDOK);
    std::printf("quit run ended with %d\n", walk.Exit());
}

void InstallByDefault(const std::string& setup, const std::string& args, const std::string& folder) {
    Walk walk(setup, args, folder);
    HWND page = walk.Expect(Page::Welcome);

    // The pointer on Next brings the hover frame; the button held down shows it pressed.
    Pixels before = ControlPixels(page, IDOK);
    POINT next = CentreOf(page, IDOK);
    MovePointerTo(next.x, next.y);
    WaitForRedraw(page, IDOK, before);
    Shot("welcome-next-hovered");
    before = ControlPixels(page, IDOK);
    HWND button = ::GetDlgItem(page, IDOK);
    ::PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    WaitForRedraw(page, IDOK, before);
    Shot("welcome-next-pressed");
    ::PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    if (!WaitGone(page))
        throw Failure{"Next did not leave the welcome page"};
    MovePointerTo(5, ::GetSystemMetrics(SM_CYSCREEN) - 5);

    page = walk.Expect(Page::Agreement);
    page = walk.Press(page, IDOK, Page::InstallType);
    before = ControlPixels(page, IDC_DEFAULT);
    POINT centre = CentreOf(page, IDC_DEFAULT);
    MovePointerTo(centre.x, centre.y);
    WaitForRedraw(page, IDC_DEFAULT, before);
    Shot("install-type-default-hovered");
    page = walk.Press(page, IDC_CUSTOM, Page::Destination);
    page = walk.Press(page, IDC_BACK, Page::InstallType);
    page = walk.Press(page, IDC_DEFAULT, Page::Confirm);
    page = walk.Press(page, IDOK, Page::Finish);
    Click(page, IDOK);
    std::printf("installation run ended with %d\n", walk.Exit());

    // Finish with the run option ticked starts the editor; show it, then close it.
    HWND editor = nullptr;
    WaitUntil([&] { return (editor = ::FindWindowA("BrellicPagewrightEditor", "Brellic Pagewright")) != nullptr; },
              5000);
    if (editor) {
        Shot("editor-started");
        ::PostMessageA(editor, WM_CLOSE, 0, 0);
        WaitGone(editor);
    } else {
        std::printf("no editor window appeared\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string args;
    for (int i = 1; i < argc; ++i)
        args += (i > 1 ? " " : "") + std::string(argv[i]);
    ScratchDir media("walkthrough-media");
    if (!CopyFolderFiles(TEST_MEDIA_DIR, media.Path())) {
        std::printf("could not copy the media from %s\n", TEST_MEDIA_DIR);
        return 1;
    }
    std::string setup = media / "setup.exe";
    try {
        QuitEarly(setup, args, media.Path());
        InstallByDefault(setup, args, media.Path());
    } catch (const Failure& failure) {
        std::printf("walkthrough stopped: %s\n", failure.what.c_str());
        Shot("stopped");
        return 1;
    }
    std::printf("walkthrough complete: %d screenshots\n", g_shot);
    return 0;
}
