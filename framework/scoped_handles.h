// Non-copyable owners of Win32 handles, each released exactly once on every path.
#pragma once
#include <windows.h>

#include <utility>

template <typename Traits>
class ScopedHandleOf {
public:
    using Handle = typename Traits::Handle;
    ScopedHandleOf() = default;
    explicit ScopedHandleOf(Handle h) : m_handle(h) {}
    ~ScopedHandleOf() { Reset(); }
    ScopedHandleOf(const ScopedHandleOf&) = delete;
    ScopedHandleOf& operator=(const ScopedHandleOf&) = delete;
    ScopedHandleOf(ScopedHandleOf&& other) noexcept : m_handle(std::exchange(other.m_handle, Traits::Invalid())) {}
    ScopedHandleOf& operator=(ScopedHandleOf&& other) noexcept {
        if (this != &other) {
            Reset();
            m_handle = std::exchange(other.m_handle, Traits::Invalid());
        }
        return *this;
    }
    Handle Get() const { return m_handle; }
    bool IsValid() const { return Traits::IsValid(m_handle); }
    explicit operator bool() const { return IsValid(); }
    void Reset(Handle h = Traits::Invalid()) {
        if (Traits::IsValid(m_handle))
            Traits::Close(m_handle);
        m_handle = h;
    }
    Handle Release() { return std::exchange(m_handle, Traits::Invalid()); }
    // For out-parameters: releases what is held and hands out the slot.
    Handle* Receive() {
        Reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::Invalid();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    // Predefined roots are never closed by us. Their values are 32-bit numbers
    // from 0x80000000, sign-extended in 64-bit programs.
    static bool IsValid(Handle h) {
        const auto value = reinterpret_cast<ULONG_PTR>(h);
        const auto first = static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000000)));
        return h != nullptr && !(value >= first && value <= first + 0xFF);
    }
    static void Close(Handle h) { ::RegCloseKey(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};
struct CursorTraits {
    using Handle = HCURSOR;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::DestroyCursor(h); }
};
struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::DestroyIcon(h); }
};

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};

using ScopedHandle = ScopedHandleOf<KernelHandleTraits>;
using ScopedFindHandle = ScopedHandleOf<FindHandleTraits>;
using ScopedRegKey = ScopedHandleOf<RegKeyTraits>;
using ScopedModule = ScopedHandleOf<ModuleTraits>;
using ScopedGdiObject = ScopedHandleOf<GdiObjectTraits>;
using ScopedCursor = ScopedHandleOf<CursorTraits>;
// From LoadImage without LR_SHARED, or CreateIconIndirect.
using ScopedIcon = ScopedHandleOf<IconTraits>;
// From CreateCompatibleDC or CreateDC.
using ScopedMemoryDC = ScopedHandleOf<MemoryDcTraits>;

// Memory the system hands out with LocalAlloc (descriptors, converted SIDs).
struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::LocalFree(h); }
};
using ScopedLocalMemory = ScopedHandleOf<LocalMemoryTraits>;

// A window's (or, for no window, the screen's) device context from GetDC.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND hwnd) : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    ~ScopedWindowDC() {
        if (m_dc)
            ::ReleaseDC(m_hwnd, m_dc);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// Memory a system library hands out, freed by that library's own function,
// which is bound at run time and so travels with the pointer.
template <typename Pointer, typename FreeFn>
class ScopedLibraryMemory {
public:
    explicit ScopedLibraryMemory(FreeFn free) : m_free(free) {}
    ~ScopedLibraryMemory() { Reset(); }
    ScopedLibraryMemory(const ScopedLibraryMemory&) = delete;
    ScopedLibraryMemory& operator=(const ScopedLibraryMemory&) = delete;
    Pointer Get() const { return m_pointer; }
    void Reset() {
        if (m_pointer && m_free)
            m_free(m_pointer);
        m_pointer = nullptr;
    }
    // For out-parameters: releases what is held and hands out the slot.
    Pointer* Receive() {
        Reset();
        return &m_pointer;
    }

private:
    FreeFn m_free;
    Pointer m_pointer = nullptr;
};

// Owner of a COM interface pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* Get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }
    void Reset() {
        if (m_ptr)
            m_ptr->Release();
        m_ptr = nullptr;
    }
    void** ReceiveVoid() {
        Reset();
        return reinterpret_cast<void**>(&m_ptr);
    }

private:
    T* m_ptr = nullptr;
};

// Selects a GDI object into a device context and puts the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~ScopedSelect() {
        if (m_previous)
            ::SelectObject(m_dc, m_previous);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
