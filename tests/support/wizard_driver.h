// Drives setup's wizard pages the way a person would: recognises each page by
// its controls, clicks, types, presses Escape or the close box, drags, and
// answers message boxes. Works on a separate setup process and on pages run
// in the test process by a ModalThread.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "modal_thread.h"

enum class Page { Welcome, Agreement, InstallType, Destination, Confirm, Finish, Interrupted, DebugMessage, None };
const char* PageName(Page page);
// Which of setup's dialogs the window is; None for anything else.
Page PageOf(HWND hwnd);

using WindowSource = std::function<std::vector<HWND>()>;
WindowSource WindowsOfProcess(DWORD pid);
WindowSource WindowsOfThread(const ModalThread& thread);

HWND WaitFor(const WindowSource& windows, const std::function<bool(HWND)>& test, int timeoutMs = 15000);
HWND WaitForPage(const WindowSource& windows, Page page, int timeoutMs = 15000);
// A message box whose text holds the fragment.
HWND WaitForBox(const WindowSource& windows, const std::string& fragment, int timeoutMs = 15000);
// The page or box currently shown, for failure messages.
std::string DescribeWindows(const WindowSource& windows);

// A click on a button or check box (through its own mouse handling).
void Click(HWND dialog, int id);
// The Escape key, pressed where the focus is.
void PressEscape(HWND dialog);
// The close box of the caption.
void PressCloseBox(HWND dialog);
// Selects the edit's whole text and types the new text over it.
void TypeText(HWND dialog, int editId, const std::string& text);
bool IsChecked(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
// Moves the mouse pointer to a screen point, as the hand on the mouse does.
void MovePointerTo(int x, int y);
// The centre of a control, in screen coordinates.
POINT CentreOf(HWND dialog, int id);
// Moves the window as dragging its caption does.
void DragWindowTo(HWND window, int x, int y);
RECT WindowRect(HWND window);
// Where a window of that size sits when centred on the screen, inside the work area.
RECT CentredRect(HWND window);
// Presses the box's button and waits until the box is gone.
bool Answer(HWND box, int button);
// Presses the page's button and waits until the page is gone and the next one
// shows; the next page's window, or null.
HWND Advance(const WindowSource& windows, HWND page, int button, Page next, int timeoutMs = 15000);
// The whole text of the box.
std::string BoxText(HWND box);
