#include "common/file_flusher.h"

CFileFlusher::~CFileFlusher() {
    if (!m_thread)
        return;
    ::AcquireSRWLockExclusive(&m_lock);
    m_stopping = true;
    ::ReleaseSRWLockExclusive(&m_lock);
    ::WakeAllConditionVariable(&m_changed);
    ::WaitForSingleObject(m_thread.Get(), INFINITE);
}

void CFileFlusher::Add(const std::string& path) {
    ::AcquireSRWLockExclusive(&m_lock);
    m_queue.push_back(path);
    ::ReleaseSRWLockExclusive(&m_lock);
    ::WakeAllConditionVariable(&m_changed);
    if (!m_thread) {
        m_thread.Reset(::CreateThread(nullptr, 0, Work, this, 0, nullptr));
        if (!m_thread) {
            // No thread to be had: flushed here, in turn.
            ::AcquireSRWLockExclusive(&m_lock);
            m_queue.clear();
            ::ReleaseSRWLockExclusive(&m_lock);
            if (!FlushOne(path) && m_failed.empty())
                m_failed = path;
        }
    }
}

std::string CFileFlusher::Wait() {
    ::AcquireSRWLockExclusive(&m_lock);
    while (!m_queue.empty() || m_busy)
        ::SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
    std::string failed;
    failed.swap(m_failed);
    ::ReleaseSRWLockExclusive(&m_lock);
    return failed;
}

DWORD WINAPI CFileFlusher::Work(void* self) {
    auto* flusher = static_cast<CFileFlusher*>(self);
    ::AcquireSRWLockExclusive(&flusher->m_lock);
    for (;;) {
        while (flusher->m_queue.empty() && !flusher->m_stopping)
            ::SleepConditionVariableSRW(&flusher->m_changed, &flusher->m_lock, INFINITE, 0);
        if (flusher->m_queue.empty())
            break;
        std::string path = flusher->m_queue.front();
        flusher->m_queue.pop_front();
        flusher->m_busy = true;
        ::ReleaseSRWLockExclusive(&flusher->m_lock);
        bool flushed = flusher->FlushOne(path);
        ::AcquireSRWLockExclusive(&flusher->m_lock);
        flusher->m_busy = false;
        if (!flushed && flusher->m_failed.empty())
            flusher->m_failed = path;
        ::WakeAllConditionVariable(&flusher->m_changed);
    }
    ::ReleaseSRWLockExclusive(&flusher->m_lock);
    return 0;
}

// Every kind of sharing: the copy goes on beside it, and nothing waits on it.
bool CFileFlusher::FlushOne(const std::string& path) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file)
        return ::FlushFileBuffers(file.Get()) != FALSE;
    // Files from a CD arrive read-only, and a read-only file cannot be opened
    // for writing: the mark is lifted for the flush and put back.
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY) ||
        !::SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return false;
    file.Reset(::CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr));
    bool flushed = file && ::FlushFileBuffers(file.Get());
    file.Reset();
    ::SetFileAttributesA(path.c_str(), attributes);
    return flushed;
}
