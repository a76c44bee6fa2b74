#include "accessible_proxy.h"

#include <commctrl.h>
#include <oleacc.h>

#include "common/system_seam.h"
#include "framework/dialog.h"
#include "framework/function_cast.h"

CString CaptionWithoutMnemonic(const char* caption) {
    CString plain;
    for (const char* p = caption; p && *p; ++p) {
        if (*p == '&') {
            ++p;
            if (!*p)
                break;
        }
        plain += *p;
    }
    return plain;
}

namespace {
using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

BSTR ToBstr(const char* text) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0)
        return nullptr;
    BSTR out = ::SysAllocStringLen(nullptr, static_cast<UINT>(n - 1));
    if (out)
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, out, n);
    return out;
}

// "37%" for a progress bar at 370 of 0 to 1000.
CString ProgressText(HWND bar) {
    PBRANGE range{};
    ::SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    long long position = static_cast<long long>(::SendMessageA(bar, PBM_GETPOS, 0, 0));
    long long span = static_cast<long long>(range.iHigh) - range.iLow;
    long long percent = span > 0 ? (position - range.iLow) * 100 / span : 0;
    CString text;
    text.Format("%lld%%", percent);
    return text;
}

// The system's object for the window, with the role, name, value and state
// the kind of control has.
class ControlAccessible final : public IAccessible {
public:
    ControlAccessible(HWND control, AccessibleKind kind, const char* pictureName, IAccessible* standard)
        : m_control(control), m_kind(kind), m_pictureName(pictureName), m_standard(standard) {}
    ControlAccessible(const ControlAccessible&) = delete;
    ControlAccessible& operator=(const ControlAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = ::InterlockedDecrement(&m_refs);
        if (left == 0) {
            m_standard->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return m_standard->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override {
        return m_standard->GetTypeInfo(i, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT n, LCID lcid, DISPID* ids) override {
        return m_standard->GetIDsOfNames(riid, names, n, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id,
                                     REFIID riid,
                                     LCID lcid,
                                     WORD flags,
                                     DISPPARAMS* params,
                                     VARIANT* result,
                                     EXCEPINFO* error,
                                     UINT* badArg) override {
        return m_standard->Invoke(id, riid, lcid, flags, params, result, error, badArg);
    }

    // IAccessible: what the control itself is, says and does is ours.
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child))
            return m_standard->get_accRole(child, role);
        if (!role)
            return E_POINTER;
        role->vt = VT_I4;
        switch (m_kind) {
            case AccessibleKind::PushButton:
                role->lVal = ROLE_SYSTEM_PUSHBUTTON;
                break;
            case AccessibleKind::ProgressBar:
                role->lVal = ROLE_SYSTEM_PROGRESSBAR;
                break;
            case AccessibleKind::ReadOnlyText:
                role->lVal = ROLE_SYSTEM_TEXT;
                break;
            case AccessibleKind::Picture:
                role->lVal = m_pictureName.IsEmpty() ? ROLE_SYSTEM_GRAPHIC : ROLE_SYSTEM_STATICTEXT;
                break;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child) || (m_kind != AccessibleKind::PushButton && m_kind != AccessibleKind::Picture))
            return m_standard->get_accName(child, name);
        if (!name)
            return E_POINTER;
        *name = ToBstr(m_kind == AccessibleKind::Picture ? m_pictureName
                                                         : CaptionWithoutMnemonic(GetWindowTextString(m_control)));
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!IsSelf(child) || m_kind == AccessibleKind::PushButton || m_kind == AccessibleKind::Picture)
            return m_standard->get_accValue(child, value);
        if (!value)
            return E_POINTER;
        CString text = m_kind == AccessibleKind::ProgressBar ? ProgressText(m_control) : GetWindowTextString(m_control);
        *value = ToBstr(text);
        return *value ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        HRESULT result = m_standard->get_accState(child, state);
        if (SUCCEEDED(result) && IsSelf(child) && state && state->vt == VT_I4 && m_kind != AccessibleKind::PushButton)
            state->lVal |= STATE_SYSTEM_READONLY;
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!IsSelf(child) || m_kind != AccessibleKind::PushButton)
            return m_standard->get_accDefaultAction(child, action);
        if (!action)
            return E_POINTER;
        *action = ::SysAllocString(L"Press");
        return *action ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child) || m_kind != AccessibleKind::PushButton)
            return m_standard->accDoDefaultAction(child);
        if (!::IsWindowEnabled(m_control))
            return E_FAIL;
        ::PostMessageA(m_control, BM_CLICK, 0, 0);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_standard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return m_standard->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return m_standard->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return m_standard->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return m_standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return m_standard->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return m_standard->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return m_standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT child) override {
        return m_standard->accLocation(x, y, w, h, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG dir, VARIANT start, VARIANT* end) override {
        return m_standard->accNavigate(dir, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return m_standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return m_standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_standard->put_accValue(child, value);
    }

private:
    ~ControlAccessible() = default;
    LONG m_refs = 1;
    HWND m_control;
    AccessibleKind m_kind;
    CString m_pictureName;
    IAccessible* m_standard;
};
}  // namespace

// The accessibility library is bound only when a client asks: most runs have
// none, and start-up does not pay for it.
LRESULT AnswerAccessibility(HWND control, AccessibleKind kind, WPARAM wp, LPARAM lp, const char* pictureName) {
    if (static_cast<LONG>(lp) != OBJID_CLIENT)
        return 0;
    auto createStandard = FunctionCast<CreateStdAccessibleObjectFn>(
        g_system.bindSystemFunction("oleacc.dll", "CreateStdAccessibleObject"));
    auto toResult = FunctionCast<LresultFromObjectFn>(g_system.bindSystemFunction("oleacc.dll", "LresultFromObject"));
    if (!createStandard || !toResult)
        return 0;
    IAccessible* standard = nullptr;
    if (FAILED(createStandard(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))) ||
        !standard)
        return 0;
    auto* proxy = new ControlAccessible(control, kind, pictureName, standard);
    LRESULT result = toResult(__uuidof(IAccessible), wp, static_cast<IAccessible*>(proxy));
    proxy->Release();
    return result;
}
