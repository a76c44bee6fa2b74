#include "launcher/cabinet_extractor.h"

#include <windows.h>

#include <fcntl.h>
#include <fdi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "framework/function_cast.h"
#include "framework/scoped_handles.h"
#include "launcher/download_layout.h"
#include "launcher/sha256.h"

namespace {
struct CabinetFile;
class BackgroundWriter;

// The cabinet library calls back without any pointer of ours, so the one
// extraction in progress is kept here.
struct Extraction {
    HANDLE download = nullptr;  // the download, opened once by the launcher
    uint64_t offset = 0;
    uint64_t size = 0;
    std::wstring folder;
    std::vector<ExtractedFile>* files = nullptr;
    bool writeFailed = false;
    // Output files not yet finished; a damaged cabinet can end the copy with one open.
    std::vector<CabinetFile*> writing;
    BackgroundWriter* writer = nullptr;
    // Buffers of finished files, for the next ones: a fresh megabyte per file
    // costs more than a small file's whole unpacking.
    std::vector<std::vector<char>> freeBuffers;
};
Extraction* g_extraction = nullptr;

// The library reads and writes in blocks of at most 32 KiB, and a system call
// per block costs more than the unpacking itself: both sides go through a
// buffer of this size.
const DWORD kBufferSize = 1 << 20;

// One open file of the library: a window onto the download, or a file being written.
struct CabinetFile {
    ScopedHandle handle;
    uint64_t base = 0;
    uint64_t length = 0;
    uint64_t position = 0;
    // The download: the bytes from bufferStart on, read last. A file being
    // written: the bytes not written yet.
    std::vector<char> buffer;
    DWORD buffered = 0;
    uint64_t bufferStart = 0;
    // A file being written: the bytes handed to the writer, and whether it failed.
    std::vector<char> handedOver;
    DWORD handedOverBytes = 0;
    bool failed = false;
    std::unique_ptr<Sha256> hash;
    std::string name;
};

// Sums and writes the unpacked bytes on a thread of its own while the library
// unpacks the next ones, so that on two cores the check costs next to
// nothing. One buffer at a time; without a thread the work is done in line.
class BackgroundWriter {
public:
    BackgroundWriter() {
        m_work.Reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
        m_idle.Reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (m_work && m_idle)
            m_thread.Reset(::CreateThread(nullptr, 0, Run, this, 0, nullptr));
    }
    ~BackgroundWriter() {
        Wait();
        if (m_thread) {
            m_stop = true;
            ::SetEvent(m_work.Get());
            ::WaitForSingleObject(m_thread.Get(), INFINITE);
        }
    }
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Hands over the file's filled buffer; the file goes on filling the other one.
    void Submit(CabinetFile* file) {
        Wait();
        std::swap(file->buffer, file->handedOver);
        file->handedOverBytes = file->buffered;
        file->buffered = 0;
        if (!m_thread) {
            Work(file);
            return;
        }
        m_job = file;
        m_busy = true;
        ::SetEvent(m_work.Get());
    }
    // Until the last buffer handed over is summed and written.
    void Wait() {
        if (m_busy)
            ::WaitForSingleObject(m_idle.Get(), INFINITE);
        m_busy = false;
    }

private:
    static void Work(CabinetFile* file) {
        file->hash->Add(file->handedOver.data(), file->handedOverBytes);
        DWORD written = 0;
        if (file->handedOverBytes > 0 &&
            (!::WriteFile(file->handle.Get(), file->handedOver.data(), file->handedOverBytes, &written, nullptr) ||
             written != file->handedOverBytes))
            file->failed = true;
    }
    static DWORD WINAPI Run(void* parameter) {
        auto* self = static_cast<BackgroundWriter*>(parameter);
        for (;;) {
            ::WaitForSingleObject(self->m_work.Get(), INFINITE);
            if (self->m_stop)
                return 0;
            Work(self->m_job);
            ::SetEvent(self->m_idle.Get());
        }
    }

    ScopedHandle m_work;
    ScopedHandle m_idle;
    ScopedHandle m_thread;
    CabinetFile* m_job = nullptr;
    bool m_busy = false;
    bool m_stop = false;
};

std::string Utf8FromWide(const std::wstring& text) {
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string out(size, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(size - 1);
    return out;
}

std::wstring WideFrom(const char* text, UINT codePage) {
    int size = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring out(size, L'\0');
    ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, -1, out.data(), size);
    out.resize(size - 1);
    return out;
}

FNALLOC(Allocate) {
    return std::malloc(cb);
}
FNFREE(Free) {
    std::free(pv);
}

// The cabinet has no other part than the download, which is read through the
// handle that was checked, never opened again by name.
FNOPEN(OpenDownload) {
    (void)pszFile;
    (void)pmode;
    if ((oflag & (_O_WRONLY | _O_RDWR)) || !g_extraction)
        return -1;
    auto file = std::make_unique<CabinetFile>();
    HANDLE copy = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), g_extraction->download, ::GetCurrentProcess(), &copy, 0, FALSE,
                           DUPLICATE_SAME_ACCESS))
        return -1;
    file->handle.Reset(copy);
    file->buffer.resize(kBufferSize);
    file->base = g_extraction->offset;
    file->length = g_extraction->size;
    return reinterpret_cast<INT_PTR>(file.release());
}

FNREAD(Read) {
    auto* file = reinterpret_cast<CabinetFile*>(hf);
    uint64_t left = file->position < file->length ? file->length - file->position : 0;
    DWORD wanted = static_cast<DWORD>(left < cb ? left : cb);
    if (wanted == 0)
        return 0;
    if (file->position < file->bufferStart || file->position + wanted > file->bufferStart + file->buffered) {
        if (file->buffer.size() < wanted)
            file->buffer.resize(wanted);
        OVERLAPPED at = {};
        uint64_t where = file->base + file->position;
        at.Offset = static_cast<DWORD>(where);
        at.OffsetHigh = static_cast<DWORD>(where >> 32);
        DWORD size = static_cast<DWORD>(std::min<uint64_t>(file->buffer.size(), left));
        file->buffered = 0;
        if (!::ReadFile(file->handle.Get(), file->buffer.data(), size, &file->buffered, &at))
            return static_cast<UINT>(-1);
        file->bufferStart = file->position;
        wanted = std::min(wanted, file->buffered);
    }
    std::memcpy(pv, file->buffer.data() + (file->position - file->bufferStart), wanted);
    file->position += wanted;
    return wanted;
}

FNWRITE(Write) {
    auto* file = reinterpret_cast<CabinetFile*>(hf);
    if (file->buffered + cb > file->buffer.size()) {
        g_extraction->writer->Submit(file);
        if (cb > file->buffer.size())
            file->buffer.resize(cb);
    }
    if (file->failed) {
        g_extraction->writeFailed = true;
        return static_cast<UINT>(-1);
    }
    std::memcpy(file->buffer.data() + file->buffered, pv, cb);
    file->buffered += cb;
    return cb;
}

std::vector<char> TakeBuffer() {
    auto& free = g_extraction->freeBuffers;
    if (free.empty())
        return std::vector<char>(kBufferSize);
    std::vector<char> buffer = std::move(free.back());
    free.pop_back();
    return buffer;
}

void Forget(CabinetFile* file) {
    g_extraction->writer->Wait();
    for (std::vector<char>* buffer : {&file->buffer, &file->handedOver})
        if (buffer->size() >= kBufferSize)
            g_extraction->freeBuffers.push_back(std::move(*buffer));
    auto& writing = g_extraction->writing;
    writing.erase(std::remove(writing.begin(), writing.end(), file), writing.end());
    delete file;
}

FNCLOSE(Close) {
    Forget(reinterpret_cast<CabinetFile*>(hf));
    return 0;
}

FNSEEK(Seek) {
    auto* file = reinterpret_cast<CabinetFile*>(hf);
    int64_t from = seektype == SEEK_END   ? static_cast<int64_t>(file->length)
                   : seektype == SEEK_CUR ? static_cast<int64_t>(file->position)
                                          : 0;
    int64_t target = from + dist;
    if (target < 0)
        return -1;
    file->position = static_cast<uint64_t>(target);
    return static_cast<__LONG32>(target);
}

INT_PTR StartFile(FDINOTIFICATION* note) {
    std::wstring name = WideFrom(note->psz1, (note->attribs & _A_NAME_IS_UTF) ? CP_UTF8 : CP_ACP);
    std::string utf8 = Utf8FromWide(name);
    if (name.empty() || !IsPlainFileName(utf8))
        return -1;
    auto file = std::make_unique<CabinetFile>();
    file->handle.Reset(::CreateFileW((g_extraction->folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file->handle) {
        // A name listed twice is a damaged cabinet; anything else is the disk's fault.
        g_extraction->writeFailed = ::GetLastError() != ERROR_FILE_EXISTS;
        return -1;
    }
    file->buffer = TakeBuffer();
    file->handedOver = TakeBuffer();
    file->hash = std::make_unique<Sha256>();
    file->name = utf8;
    g_extraction->writing.push_back(file.get());
    return reinterpret_cast<INT_PTR>(file.release());
}

// Setup moves or copies the files and then treats them as any it installs, so
// nothing waits for the disk here; the close still reports a write the file
// system could not keep.
INT_PTR FinishFile(FDINOTIFICATION* note) {
    auto* file = reinterpret_cast<CabinetFile*>(note->hf);
    g_extraction->writer->Submit(file);
    g_extraction->writer->Wait();
    bool closed = !file->failed && ::CloseHandle(file->handle.Release()) != FALSE;
    if (closed)
        g_extraction->files->push_back({file->name, file->hash->HexDigest()});
    else
        g_extraction->writeFailed = true;
    Forget(file);
    return closed ? TRUE : FALSE;
}

FNFDINOTIFY(Notify) {
    switch (fdint) {
        case fdintCOPY_FILE:
            return StartFile(pfdin);
        case fdintCLOSE_FILE_INFO:
            return FinishFile(pfdin);
        case fdintNEXT_CABINET:
            return -1;
        default:
            return 0;
    }
}

struct CabinetLibrary {
    using CreateFn = HFDI(DIAMONDAPI*)(PFNALLOC, PFNFREE, PFNOPEN, PFNREAD, PFNWRITE, PFNCLOSE, PFNSEEK, int, PERF);
    using CopyFn = BOOL(DIAMONDAPI*)(HFDI, char*, char*, int, PFNFDINOTIFY, PFNFDIDECRYPT, void*);
    using DestroyFn = BOOL(DIAMONDAPI*)(HFDI);
    ScopedModule module;
    CreateFn create = nullptr;
    CopyFn copy = nullptr;
    DestroyFn destroy = nullptr;

    // From the system folder by its full path: never a copy lying beside the download.
    bool Load() {
        char system[MAX_PATH];
        UINT length = ::GetSystemDirectoryA(system, MAX_PATH);
        if (length == 0 || length >= MAX_PATH - 16)
            return false;
        module.Reset(
            ::LoadLibraryExA((std::string(system) + "\\cabinet.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        if (!module)
            return false;
        create = FunctionCast<CreateFn>(::GetProcAddress(module.Get(), "FDICreate"));
        copy = FunctionCast<CopyFn>(::GetProcAddress(module.Get(), "FDICopy"));
        destroy = FunctionCast<DestroyFn>(::GetProcAddress(module.Get(), "FDIDestroy"));
        return create && copy && destroy;
    }
};
}  // namespace

std::wstring WideFromUtf8(const std::string& text) {
    return WideFrom(text.c_str(), CP_UTF8);
}

ExtractResult ExtractCabinet(void* download,
                             uint64_t offset,
                             uint64_t size,
                             const std::wstring& folder,
                             std::vector<ExtractedFile>* files) {
    CabinetLibrary library;
    if (!library.Load())
        return ExtractResult::WriteFailed;
    BackgroundWriter writer;
    Extraction extraction;
    extraction.writer = &writer;
    extraction.download = download;
    extraction.offset = offset;
    extraction.size = size;
    extraction.folder = folder;
    extraction.files = files;
    g_extraction = &extraction;
    ERF error = {};
    HFDI fdi = library.create(Allocate, Free, OpenDownload, Read, Write, Close, Seek, cpuUNKNOWN, &error);
    bool copied = false;
    if (fdi) {
        char cabinet[] = "download";
        char path[] = "";
        copied = library.copy(fdi, cabinet, path, 0, Notify, nullptr, nullptr);
        library.destroy(fdi);
    }
    writer.Wait();
    for (CabinetFile* file : extraction.writing)
        delete file;
    g_extraction = nullptr;
    if (!fdi || extraction.writeFailed)
        return ExtractResult::WriteFailed;
    return copied ? ExtractResult::Done : ExtractResult::Damaged;
}
