// Carries copied files' data to the disk on a thread of its own, while the next
// files are copied. A committed installation must not describe files whose
// data a power cut could still take: NTFS writes out only the file it is asked
// to flush, so every installed file is flushed before the record is committed.
#pragma once
#include <windows.h>

#include <deque>
#include <string>

#include "framework/scoped_handles.h"

class CFileFlusher {
public:
    CFileFlusher() = default;
    ~CFileFlusher();
    CFileFlusher(const CFileFlusher&) = delete;
    CFileFlusher& operator=(const CFileFlusher&) = delete;

    // Queues the file; its flush starts at once if the thread is free.
    void Add(const std::string& path);
    // Waits until every queued file is flushed. The first file that could not
    // be since the last wait, or empty when all were.
    std::string Wait();

private:
    static DWORD WINAPI Work(void* self);
    bool FlushOne(const std::string& path);

    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_changed = CONDITION_VARIABLE_INIT;
    std::deque<std::string> m_queue;
    bool m_busy = false;
    bool m_stopping = false;
    std::string m_failed;
    ScopedHandle m_thread;
};
