#include "single_run.h"

bool CSingleRun::Acquire(DWORD waitMs) {
    if (m_owned)
        return true;
    m_mutex.Reset(::CreateMutexA(nullptr, FALSE, kSingleRunName));
    if (!m_mutex.IsValid())
        return true;  // no lock to be had is no reason to refuse the run
    DWORD waited = ::WaitForSingleObject(m_mutex.Get(), waitMs);
    // An abandoned lock belonged to a run that was killed: it is ours now.
    m_owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return m_owned;
}

void CSingleRun::Release() {
    if (m_owned)
        ::ReleaseMutex(m_mutex.Get());
    m_owned = false;
    m_mutex.Reset();
}
