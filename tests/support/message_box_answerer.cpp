#include "message_box_answerer.h"

#include <climits>

#include "ui_driver.h"

MessageBoxAnswerer::MessageBoxAnswerer(std::vector<Reply> replies) : m_replies(std::move(replies)) {
    m_thread = std::thread([this] { Watch(); });
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    m_stop = true;
    m_thread.join();
}

std::vector<std::string> MessageBoxAnswerer::Seen() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_seen;
}

bool MessageBoxAnswerer::AllAnswered() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_next == m_replies.size();
}

// Watches for as long as the test runs: each box is answered as it comes.
void MessageBoxAnswerer::Watch() {
    WindowSource windows = WindowsOfProcess(::GetCurrentProcessId());
    for (;;) {
        HWND box = nullptr;
        WaitUntil(
            [&] {
                box = WaitFor(windows, IsMessageBox, 0);
                return box || m_stop;
            },
            INT_MAX);
        if (m_stop)
            return;
        Answer(box);
        WaitGone(box, 5000);
    }
}

void MessageBoxAnswerer::Answer(HWND box) {
    std::string text = MessageBoxText(box);
    const Reply* reply = nullptr;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_seen.push_back(text);
        if (m_next < m_replies.size() && text.find(m_replies[m_next].fragment) != std::string::npos)
            reply = &m_replies[m_next++];
    }
    if (reply) {
        if (reply->before)
            reply->before();
        PressButton(box, reply->button);
        return;
    }
    int fallback = ::GetDlgItem(box, IDNO) ? IDNO : ::GetDlgItem(box, IDOK) ? IDOK : IDCANCEL;
    PressButton(box, fallback);
}
