// The uninstaller's application object for in-process tests: its messages are
// recorded and answered here, and it never deletes the test program itself.
#pragma once
#include <string>
#include <vector>

#include "uninstall/uninstall_app.h"

class TestUninstallApp : public CUninstallApp {
public:
    struct Message {
        std::string text;
        UINT type;
    };

    explicit TestUninstallApp(const std::string& commandTail = "") {
        m_hInstance = ::GetModuleHandleA(nullptr);
        m_strTitle = "Uninstall";
        m_lpCmdLine = commandTail.c_str();
    }

    int ShowMessage(const char* text, UINT type) override {
        messages.push_back({text, type});
        return (type & MB_TYPEMASK) == MB_YESNO ? backupAnswer : IDOK;
    }
    int AskConfirmation() override { return IDNO; }
    DWORD DeleteSelf() override {
        ++selfDeletions;
        return 0;
    }

    bool Said(const std::string& fragment) const {
        for (const Message& m : messages)
            if (m.text.find(fragment) != std::string::npos)
                return true;
        return false;
    }

    std::vector<Message> messages;
    int backupAnswer = IDYES;
    int selfDeletions = 0;
};
