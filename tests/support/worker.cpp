#include "worker.h"

#include "test_app.h"

Worker::Worker(std::function<void()> body) : m_body(std::move(body)) {
    m_thread = ::CreateThread(nullptr, 0, &Worker::Run, this, 0, nullptr);
}

Worker::~Worker() {
    if (m_thread) {
        ::WaitForSingleObject(m_thread, 60000);
        ::CloseHandle(m_thread);
    }
}

bool Worker::Wait(int timeoutMs) {
    return m_thread && ::WaitForSingleObject(m_thread, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

DWORD WINAPI Worker::Run(LPVOID param) {
    auto* self = static_cast<Worker*>(param);
    try {
        self->m_body();
    } catch (const ProcessEnded& ended) {
        self->m_exitCode = ended.exitCode;
        self->m_ended = true;
    }
    return 0;
}
