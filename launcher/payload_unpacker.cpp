#include "launcher/payload_unpacker.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "framework/scoped_handles.h"
#include "launcher/branch_filter.h"
#include "launcher/own_download.h"
#include "launcher/packed_payload.h"
#include "launcher/sha256.h"

namespace {
// More threads than this only hold more blocks in memory.
const unsigned kMaxWorkers = 8;
// Split programs are joined in pieces of this size before they are written.
const size_t kJoinPiece = 1 << 20;

struct FreeMemory {
    void operator()(uint8_t* memory) const { std::free(memory); }
};
using Buffer = std::unique_ptr<uint8_t, FreeMemory>;

// Large buffers come from malloc, so that a block the machine has no memory
// for fails the unpacking instead of ending the process.
Buffer Allocate(size_t size) {
    return Buffer(static_cast<uint8_t*>(std::malloc(size ? size : 1)));
}

class CriticalSection {
public:
    CriticalSection() { ::InitializeCriticalSection(&m_section); }
    ~CriticalSection() { ::DeleteCriticalSection(&m_section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { ::EnterCriticalSection(&m_section); }
    void Leave() { ::LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

enum class BlockState { Waiting, Ready, Failed, OutOfMemory };

// The blocks unpacked by the workers, handed to the writer in order. At most
// `window` blocks are held at once, so memory stays within window times the
// largest block (plus each worker's packed input).
class BlockQueue {
public:
    BlockQueue(HANDLE download, uint64_t base, const PackedLayout& layout, unsigned window)
        : m_download(download), m_base(base), m_layout(layout) {
        m_state.assign(layout.blocks.size(), BlockState::Waiting);
        m_data.resize(layout.blocks.size());
        m_finished.Reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
        m_room.Reset(::CreateSemaphoreW(nullptr, static_cast<LONG>(window), static_cast<LONG>(window + kMaxWorkers + 1),
                                        nullptr));
    }
    bool Ready() const { return m_finished && m_room; }

    // Runs on each worker until every block is taken or the writer gave up.
    void Work() {
        Buffer input;
        size_t inputSize = 0;
        for (;;) {
            ::WaitForSingleObject(m_room.Get(), INFINITE);
            m_lock.Enter();
            bool stop = m_stop || m_next == m_layout.blocks.size();
            size_t index = m_next;
            if (!stop)
                ++m_next;
            m_lock.Leave();
            if (stop) {
                // The next worker waiting for room sees the same.
                ::ReleaseSemaphore(m_room.Get(), 1, nullptr);
                return;
            }
            Unpack(index, &input, &inputSize);
        }
    }

    // Unpacks one block and hands it to the writer; input is the packed
    // bytes' buffer, kept from block to block.
    void Unpack(size_t index, Buffer* input, size_t* inputSize) {
        const PackedBlock& block = m_layout.blocks[index];
        BlockState state = BlockState::Failed;
        Buffer out = Allocate(block.unpackedSize);
        if (block.method == BlockMethod::Stored) {
            if (!out)
                state = BlockState::OutOfMemory;
            else if (ReadAt(m_download, m_base + block.offset, out.get(), block.packedSize))
                state = BlockState::Ready;
        } else {
            if (*inputSize < block.packedSize) {
                *input = Allocate(block.packedSize);
                *inputSize = *input ? block.packedSize : 0;
            }
            if (!out || !*input)
                state = BlockState::OutOfMemory;
            else if (ReadAt(m_download, m_base + block.offset, input->get(), block.packedSize) &&
                     UnpackBlock(block, input->get(), out.get()))
                state = BlockState::Ready;
        }
        m_lock.Enter();
        m_state[index] = state;
        if (state == BlockState::Ready)
            m_data[index] = std::move(out);
        m_lock.Leave();
        ::SetEvent(m_finished.Get());
    }

    // The writer's side: waits for block index; gives its bytes (or null).
    BlockState Take(size_t index, Buffer* data) {
        for (;;) {
            m_lock.Enter();
            BlockState state = m_state[index];
            if (state == BlockState::Ready)
                *data = std::move(m_data[index]);
            m_lock.Leave();
            if (state != BlockState::Waiting)
                return state;
            ::WaitForSingleObject(m_finished.Get(), INFINITE);
        }
    }
    // The writer is done with a block: one more may be unpacked.
    void Done() { ::ReleaseSemaphore(m_room.Get(), 1, nullptr); }
    // The writer gives up: workers stop taking blocks.
    void Stop() {
        m_lock.Enter();
        m_stop = true;
        m_lock.Leave();
        ::ReleaseSemaphore(m_room.Get(), 1, nullptr);
    }

private:
    HANDLE m_download;
    uint64_t m_base;
    const PackedLayout& m_layout;
    CriticalSection m_lock;
    ScopedHandle m_finished;
    ScopedHandle m_room;
    std::vector<BlockState> m_state;
    std::vector<Buffer> m_data;
    size_t m_next = 0;
    bool m_stop = false;
};

DWORD WINAPI RunWorker(void* queue) {
    static_cast<BlockQueue*>(queue)->Work();
    return 0;
}

// Writes the files in table order from the unpacked stream.
class FileWriter {
public:
    FileWriter(const std::wstring& folder, const std::vector<PackedFile>& files, std::vector<UnpackedFile>* out)
        : m_folder(folder), m_files(files), m_out(out) {}

    // The bytes that follow in the stream; false when something failed (see Result()).
    bool Feed(uint8_t* data, size_t size) {
        while (size > 0) {
            if (!OpenUntilWanting())
                return false;
            if (m_index == m_files.size())
                return Fail(UnpackResult::Damaged);
            size_t take = static_cast<size_t>(std::min<uint64_t>(size, m_files[m_index].Packed() - m_received));
            m_received += take;
            if (!Write(data, take))
                return false;
            data += take;
            size -= take;
        }
        return true;
    }
    // After the last block: the empty files at the end, and every file complete.
    bool Finish() {
        if (!OpenUntilWanting())
            return false;
        return m_index == m_files.size() || Fail(UnpackResult::Damaged);
    }
    UnpackResult Result() const { return m_result; }

private:
    bool Fail(UnpackResult result) {
        m_result = result;
        return false;
    }

    // Finishes each complete file and opens the next, until one wants bytes or none is left.
    bool OpenUntilWanting() {
        while (m_index < m_files.size()) {
            const PackedFile& file = m_files[m_index];
            if (!m_handle) {
                m_handle.Reset(::CreateFileW((m_folder + L"\\" + WideFromUtf8(file.name)).c_str(), GENERIC_WRITE, 0,
                                             nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
                if (!m_handle)
                    return Fail(::GetLastError() == ERROR_FILE_EXISTS ? UnpackResult::Damaged
                                                                      : UnpackResult::WriteFailed);
                m_hash = Sha256();
                m_received = 0;
                m_joiner.reset();
                if (file.x86 || file.x64)
                    m_joiner.emplace(file.size, file.x64, file.lists);
            }
            if (m_received < file.Packed())
                return true;
            if (m_joiner && !m_joiner->Finish(&m_pending))
                return Fail(UnpackResult::Damaged);
            if (!Put(m_pending.data(), m_pending.size()))
                return false;
            m_pending.clear();
            // The close still reports a write the file system could not keep.
            if (!::CloseHandle(m_handle.Release()))
                return Fail(UnpackResult::WriteFailed);
            m_out->push_back({file.name, m_hash.HexDigest()});
            ++m_index;
        }
        return true;
    }

    bool Write(uint8_t* data, size_t size) {
        if (!m_joiner)
            return Put(data, size);
        // A split program comes back through the joiner, a piece at a time.
        while (size > 0) {
            size_t take = std::min(size, kJoinPiece);
            if (!m_joiner->Add(data, take, &m_pending))
                return Fail(UnpackResult::Damaged);
            if (!Put(m_pending.data(), m_pending.size()))
                return false;
            m_pending.clear();
            data += take;
            size -= take;
        }
        return true;
    }

    bool Put(const uint8_t* data, size_t size) {
        m_hash.Add(data, size);
        while (size > 0) {
            DWORD piece = static_cast<DWORD>(std::min<size_t>(size, 1u << 30)), written = 0;
            if (!::WriteFile(m_handle.Get(), data, piece, &written, nullptr) || written != piece)
                return Fail(UnpackResult::WriteFailed);
            data += piece;
            size -= piece;
        }
        return true;
    }

    const std::wstring& m_folder;
    const std::vector<PackedFile>& m_files;
    std::vector<UnpackedFile>* m_out;
    size_t m_index = 0;
    ScopedHandle m_handle;
    Sha256 m_hash;
    uint64_t m_received = 0;             // of the current file, from the stream
    std::vector<uint8_t> m_pending;      // what the joiner gave back
    std::optional<CodeJoiner> m_joiner;  // for a split program
    UnpackResult m_result = UnpackResult::Done;
};

unsigned Processors() {
    SYSTEM_INFO system;
    ::GetSystemInfo(&system);
    return std::max<unsigned>(1, system.dwNumberOfProcessors);
}
}  // namespace

std::wstring WideFromUtf8(const std::string& text) {
    int size = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), -1, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring out(size, L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), -1, out.data(), size);
    out.resize(size - 1);
    return out;
}

UnpackResult UnpackPayload(void* download,
                           uint64_t offset,
                           uint64_t size,
                           const std::wstring& folder,
                           std::vector<UnpackedFile>* files) {
    uint8_t fixed[kPackFixedHeader];
    if (size < sizeof fixed || !ReadAt(download, offset, fixed, sizeof fixed))
        return UnpackResult::Damaged;
    size_t headSize = PackedHeadSize(fixed, sizeof fixed, size);
    std::vector<uint8_t> head(headSize);
    PackedLayout layout;
    if (headSize == 0 || !ReadAt(download, offset, head.data(), static_cast<DWORD>(headSize)) ||
        !ParsePackedLayout(head.data(), headSize, size, &layout))
        return UnpackResult::Damaged;
    for (const PackedFile& file : layout.files)
        if (WideFromUtf8(file.name).empty())
            return UnpackResult::Damaged;

    unsigned workers = static_cast<unsigned>(std::min<size_t>({Processors(), kMaxWorkers, layout.blocks.size()}));
    BlockQueue queue(download, offset, layout, workers + 1);
    if (!queue.Ready())
        return UnpackResult::WriteFailed;
    std::vector<ScopedHandle> threads;
    for (unsigned i = 0; i < workers; ++i) {
        threads.emplace_back(::CreateThread(nullptr, 0, RunWorker, &queue, 0, nullptr));
        if (!threads.back())
            threads.pop_back();
    }
    // Without a thread of its own, the blocks are unpacked here, one at a time.
    Buffer input;
    size_t inputSize = 0;

    FileWriter writer(folder, layout.files, files);
    UnpackResult result = UnpackResult::Done;
    for (size_t i = 0; i < layout.blocks.size() && result == UnpackResult::Done; ++i) {
        if (threads.empty())
            queue.Unpack(i, &input, &inputSize);
        Buffer data;
        BlockState state = queue.Take(i, &data);
        if (state == BlockState::Failed)
            result = UnpackResult::Damaged;
        else if (state == BlockState::OutOfMemory)
            result = UnpackResult::WriteFailed;
        else if (!writer.Feed(data.get(), layout.blocks[i].unpackedSize))
            result = writer.Result();
        data.reset();
        queue.Done();
    }
    if (result == UnpackResult::Done && !writer.Finish())
        result = writer.Result();
    queue.Stop();
    for (ScopedHandle& thread : threads)
        ::WaitForSingleObject(thread.Get(), INFINITE);
    return result;
}
