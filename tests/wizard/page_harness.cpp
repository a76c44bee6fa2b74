#include "page_harness.h"

#include <gtest/gtest.h>

#include "ui_driver.h"

namespace {
INT_PTR CALLBACK PassiveProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}
}  // namespace

RECT PageRectAt(int templateId, int x, int y) {
    HWND probe =
        ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr, PassiveProc, 0);
    RECT rc = WindowRect(probe);
    ::DestroyWindow(probe);
    return RECT{x, y, x + rc.right - rc.left, y + rc.bottom - rc.top};
}

OpenedPage::OpenedPage(CDialog& page, Page kind)
    : m_thread([&page] { return page.DoModal(); }), m_windows(WindowsOfThread(m_thread)) {
    m_hwnd = WaitForPage(m_windows, kind, 10000);
    EXPECT_NE(m_hwnd, nullptr) << "the " << PageName(kind) << " page did not open: " << DescribeWindows(m_windows);
}

INT_PTR OpenedPage::Result(int timeoutMs) {
    return m_thread.Wait(timeoutMs) ? m_thread.Result() : -1;
}

HWND OpenedPage::Box(const std::string& fragment, int timeoutMs) const {
    return WaitForBox(m_windows, fragment, timeoutMs);
}

HWND OpenedPage::OtherDialog(int timeoutMs) const {
    return WaitFor(
        m_windows, [this](HWND hwnd) { return hwnd != m_hwnd && WindowClass(hwnd) == "#32770" && !IsMessageBox(hwnd); },
        timeoutMs);
}

const char* QuitWayName(QuitWay way) {
    switch (way) {
        case QuitWay::Button:
            return "button 2";
        case QuitWay::Escape:
            return "Escape";
        case QuitWay::CloseBox:
            return "close box";
    }
    return "";
}

void Quit(HWND page, QuitWay way) {
    switch (way) {
        case QuitWay::Button:
            Click(page, IDCANCEL);
            break;
        case QuitWay::Escape:
            PressEscape(page);
            break;
        case QuitWay::CloseBox:
            PressCloseBox(page);
            break;
    }
}

bool HasButton(HWND box, int id) {
    HWND button = ::GetDlgItem(box, id);
    return button && ::IsWindowVisible(button);
}

bool ShowsIcon(HWND box) {
    for (HWND child : ChildWindows(box))
        if (::IsWindowVisible(child) && (::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            ::lstrcmpiA(WindowClass(child).c_str(), "Static") == 0 && ::SendMessageA(child, STM_GETICON, 0, 0))
            return true;
    return false;
}

int DefaultButton(HWND box) {
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = ::GetDlgItem(box, id);
        if (button && ::IsWindowVisible(button) &&
            (::GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return id;
    }
    return 0;
}
