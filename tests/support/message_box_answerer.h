// Answers the message boxes of this process from a helper thread, so that the
// operation showing them can run on the test's own thread. Boxes that match
// the next scripted reply (by a fragment of their text) get its button; any
// other box is recorded and dismissed (No, else OK, else Cancel) so that a
// surprise fails the test instead of hanging it.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class MessageBoxAnswerer {
public:
    struct Reply {
        std::string fragment;
        int button;
        std::function<void()> before = {};  // runs while the box is still open
    };
    explicit MessageBoxAnswerer(std::vector<Reply> replies = {});
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Full texts of every box answered so far, in order.
    std::vector<std::string> Seen();
    // True when every scripted reply has been given.
    bool AllAnswered();

private:
    void Watch();
    void Answer(HWND box);

    std::vector<Reply> m_replies;
    size_t m_next = 0;
    std::vector<std::string> m_seen;
    std::mutex m_lock;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
