#include "modal_thread.h"

#include "test_app.h"
#include "ui_driver.h"

ModalThread::ModalThread(std::function<INT_PTR()> body) : m_body(std::move(body)) {
    m_thread = ::CreateThread(nullptr, 0, &ModalThread::Run, this, 0, &m_threadId);
}

ModalThread::~ModalThread() {
    if (!m_thread)
        return;
    // WM_QUIT ends a modal loop (and the message box nested in it); repeat for each nesting.
    for (int i = 0; i < 100 && ::WaitForSingleObject(m_thread, 100) == WAIT_TIMEOUT; ++i)
        ::PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
    ::WaitForSingleObject(m_thread, 5000);
    ::CloseHandle(m_thread);
}

DWORD WINAPI ModalThread::Run(LPVOID param) {
    auto* self = static_cast<ModalThread*>(param);
    try {
        self->m_result = self->m_body();
    } catch (const ::ProcessEnded& ended) {
        self->m_processEnded = true;
        self->m_exitCode = ended.exitCode;
    }
    return 0;
}

bool ModalThread::Wait(int timeoutMs) {
    return m_thread && ::WaitForSingleObject(m_thread, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

bool ModalThread::Finished() const {
    return m_thread && ::WaitForSingleObject(m_thread, 0) == WAIT_OBJECT_0;
}

std::vector<HWND> ModalThread::Windows() const {
    return WindowsOfThread(m_threadId)();
}
