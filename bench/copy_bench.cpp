// Times the installer's copy phase, install record included, against a bare
// CopyFileA loop over the same files: copy_bench <payload folder> <scratch
// folder> [rounds]. Each round runs both, alternating which goes first; the
// best round of each counts. Then one copy over the last is rolled back, timed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/file_flusher.h"
#include "common/install_recorder.h"
#include "framework/scoped_handles.h"
#include "setup/debug_log.h"
#include "setup/engine/install_engine.h"

namespace {
// Nothing to ask during a timed copy of fresh files into an empty folder.
class QuietQuestions : public InstallQuestions {
public:
    bool OfferBackup(const CString&) override { return false; }
    InUseAnswer FileInUse(const CString&) override { return InUseAnswer::Cancel; }
    void ReportUncopiedFiles(const std::vector<CString>&) override {}
    void ReportFolderNotCreated(const CString&) override {}
    void ReportShortcutFailed(const CString&) override {}
};

std::vector<CString> PayloadNames(const std::string& folder) {
    std::vector<CString> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) { return a.Compare(b) < 0; });
    return names;
}

void EmptyFolder(const std::string& folder) {
    for (const CString& name : PayloadNames(folder))
        ::DeleteFileA((folder + "\\" + name.c_str()).c_str());
    ::RemoveDirectoryA(folder.c_str());
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double TimeInstaller(InstallState& state,
                     CInstallEngine& engine,
                     const std::string& source,
                     const std::string& target,
                     const std::vector<CString>& names) {
    state.m_strSourceDir = source.c_str();
    state.m_strInstallDir = (target + "\\").c_str();
    state.m_pCopyList = names;
    state.m_nCopyCount = static_cast<int>(names.size());
    g_strDebugLog.Empty();
    // As setup copies: every file noted in the install record first, and the record committed.
    CInstallRecorder recorder;
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    recorder.Begin(HKEY_CURRENT_USER, state.m_strInstallDir);
    engine.SetRecorder(&recorder);
    engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    recorder.Commit();
    ::QueryPerformanceCounter(&end);
    engine.SetRecorder(nullptr);
    return Seconds(start, end);
}

// A copy over an earlier one, then undone: the earlier files come back from beside them.
double TimeRollback(InstallState& state, CInstallEngine& engine) {
    CInstallRecorder recorder;
    recorder.Begin(HKEY_CURRENT_USER, state.m_strInstallDir);
    engine.SetRecorder(&recorder);
    engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    engine.SetRecorder(nullptr);
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    recorder.Rollback();
    ::QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

// With durable, every copied file is flushed as the installer flushes them:
// on a thread of its own while the next is copied, all done before the end.
double TimeBareLoop(const std::string& source,
                    const std::string& target,
                    const std::vector<CString>& names,
                    bool durable) {
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    ::CreateDirectoryA(target.c_str(), nullptr);
    CFileFlusher flusher;
    for (const CString& name : names) {
        std::string to = target + "\\" + name.c_str();
        if (::CopyFileA((source + "\\" + name.c_str()).c_str(), to.c_str(), FALSE) && durable)
            flusher.Add(to);
    }
    flusher.Wait();
    ::QueryPerformanceCounter(&end);
    return Seconds(start, end);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: copy_bench <payload folder> <scratch folder> [rounds]\n");
        return 2;
    }
    std::string source = argv[1];
    std::string scratch = argv[2];
    int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    std::vector<CString> names = PayloadNames(source);
    if (names.empty()) {
        std::fprintf(stderr, "no files in %s\n", source.c_str());
        return 1;
    }
    InstallState state;
    QuietQuestions questions;
    CInstallEngine engine(state, questions);
    ::CreateDirectoryA(scratch.c_str(), nullptr);
    std::string installerTarget = scratch + "\\installer";
    std::string bareTarget = scratch + "\\bare";
    double bestInstaller = 1e9;
    double bestBare = 1e9;
    double bestDurable = 1e9;
    auto installer = [&] {
        bestInstaller = std::min(bestInstaller, TimeInstaller(state, engine, source, installerTarget, names));
    };
    auto bare = [&] { bestBare = std::min(bestBare, TimeBareLoop(source, bareTarget, names, false)); };
    auto durable = [&] { bestDurable = std::min(bestDurable, TimeBareLoop(source, bareTarget, names, true)); };
    for (int round = 0; round < rounds; ++round) {
        EmptyFolder(installerTarget);
        EmptyFolder(bareTarget);
        // Each goes first in turn.
        if (round % 2 == 0) {
            installer();
            bare();
        } else {
            bare();
            installer();
        }
        EmptyFolder(bareTarget);
        durable();
    }
    double rollback = TimeRollback(state, engine);
    EmptyFolder(installerTarget);
    EmptyFolder(bareTarget);
    std::printf("files %zu\ninstaller_ms %.1f\nbare_ms %.1f\ndurable_ms %.1f\nrollback_ms %.1f\n", names.size(),
                bestInstaller * 1000, bestBare * 1000, bestDurable * 1000, rollback * 1000);
    return 0;
}
