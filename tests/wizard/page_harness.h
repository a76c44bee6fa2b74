// Opens one page of a TestSetupApp on a worker thread, so the test can drive
// it like a person and read what the page left in the application object.
#pragma once
#include <windows.h>

#include <string>

#include "modal_thread.h"
#include "test_app.h"
#include "wizard_driver.h"

// The rectangle a page's window has when it stands at (x, y).
RECT PageRectAt(int templateId, int x, int y);

class OpenedPage {
public:
    OpenedPage(CDialog& page, Page kind);
    // The page's window; null (and a failure recorded) when it did not open.
    HWND Window() const { return m_hwnd; }
    const WindowSource& Windows() const { return m_windows; }
    // Waits for the page to end; its result, or -1 when it did not end in time.
    INT_PTR Result(int timeoutMs = 10000);
    bool Ended() const { return m_thread.Finished(); }
    // A message box of the page holding the fragment, or null.
    HWND Box(const std::string& fragment, int timeoutMs = 10000) const;
    // A dialog of the page's thread that is neither the page nor a message box (the folder browser).
    HWND OtherDialog(int timeoutMs = 10000) const;

private:
    ModalThread m_thread;
    WindowSource m_windows;
    HWND m_hwnd = nullptr;
};

enum class QuitWay { Button, Escape, CloseBox };
const char* QuitWayName(QuitWay way);
void Quit(HWND page, QuitWay way);

// Message box facts a person sees.
bool HasButton(HWND box, int id);
bool ShowsIcon(HWND box);
int DefaultButton(HWND box);
