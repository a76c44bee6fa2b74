#include "wizard_page.h"

#include <algorithm>

#include "framework/win_app.h"
#include "setup/controls/high_contrast.h"
#include "setup/controls/scaled_art.h"
#include "setup/res/resource.h"

namespace {
// The side panel fills its panel; the banner is as high as its strip and runs
// out into the page's white; the titles keep their shape inside their box.
ArtFit FitOf(UINT bitmapId) {
    switch (bitmapId) {
        case IDB_SIDE:
            return ArtFit::Panel;
        case IDB_HEADER:
            return ArtFit::Height;
    }
    return ArtFit::Contain;
}

const char* TitleText(UINT bitmapId) {
    switch (bitmapId) {
        case IDB_TITLE_WELCOME:
            return "Welcome to Setup";
        case IDB_TITLE_COMPLETED:
            return "Setup Completed!";
        case IDB_TITLE_ABORTED:
            return "Setup Aborted!";
    }
    return nullptr;
}

HICON LoadIconOfSize(UINT id, int size) {
    return static_cast<HICON>(::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
}
}  // namespace

// In a high-contrast theme the pictures go: the page's own colour shows
// instead, and the titles become text in the theme's colours.
void CWizardPage::LeaveArtOut() {
    for (const TemplateArt& item : TemplateArtItems(m_nIDTemplate)) {
        HWND child = ArtControl(item);
        if (!child)
            continue;
        const char* title = TitleText(item.bitmapId);
        if (!title) {
            ::ShowWindow(child, SW_HIDE);
            continue;
        }
        LONG_PTR style = ::GetWindowLongPtrA(child, GWL_STYLE);
        ::SetWindowLongPtrA(child, GWL_STYLE, (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | SS_LEFT | SS_NOPREFIX);
        RECT box = item.units;
        ::MapDialogRect(m_hWnd, &box);
        ::SetWindowPos(child, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageA(child, WM_SETFONT, ::SendMessageA(m_hWnd, WM_GETFONT, 0, 0), FALSE);
        ::SetWindowTextA(child, title);
    }
}

// The picture control the template item made: where the item's dialog units put it.
HWND CWizardPage::ArtControl(const TemplateArt& item) const {
    RECT box = item.units;
    ::MapDialogRect(m_hWnd, &box);
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
            continue;
        RECT rc{};
        ::GetWindowRect(child, &rc);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        if (rc.left == box.left && rc.top == box.top)
            return child;
    }
    return nullptr;
}

// Screen readers hear the titles' words and pass over the decoration.
void CWizardPage::NamePictures() {
    std::vector<std::unique_ptr<CAccessiblePicture>> pictures;
    for (const TemplateArt& item : TemplateArtItems(m_nIDTemplate)) {
        HWND child = ArtControl(item);
        if (!child || CWnd::FromHandle(child))
            continue;
        const char* words = TitleText(item.bitmapId);
        auto picture = std::make_unique<CAccessiblePicture>(words ? words : "");
        if (picture->SubclassWindow(child))
            pictures.push_back(std::move(picture));
    }
    if (!pictures.empty())
        m_pictures.swap(pictures);
}

BOOL CWizardPage::FinishOpening() {
    HWND first = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    FitArt();
    // Once the pictures have their sizes: a picture control that grows while
    // on top of its siblings may be left unpainted.
    PutControlsInReadingOrder();
    if (!first)
        return TRUE;
    ::SetFocus(first);
    return FALSE;
}

void CWizardPage::FitArt() {
    NamePictures();
    if (HighContrastOn()) {
        LeaveArtOut();
        return;
    }
    UINT dpi = WindowDpi(m_hWnd);
    if (dpi == kBaseDpi && !m_bArtFitted)
        return;
    m_bArtFitted = true;
    std::vector<ScopedGdiObject> art;
    for (const TemplateArt& item : TemplateArtItems(m_nIDTemplate)) {
        HWND child = ArtControl(item);
        if (!child)
            continue;
        HBITMAP image;
        if (dpi == kBaseDpi) {
            // Back on a 96-DPI display: the drawing as the template shows it.
            image = ::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(item.bitmapId));
        } else {
            RECT box = item.units;
            ::MapDialogRect(m_hWnd, &box);
            image = MakeFittedArt(item.bitmapId, FitOf(item.bitmapId), SIZE{box.right - box.left, box.bottom - box.top},
                                  RGB(255, 255, 255));
        }
        if (image) {
            art.emplace_back(image);
            ::SendMessageA(child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
        }
    }
    // The images the controls showed until now go only once they show others.
    m_art.swap(art);

    int place = NearestArtPlace(dpi);
    UINT icon = ScaledArtId(IDI_SETUP, place);
    int big = ::MulDiv(32, static_cast<int>(dpi), kBaseDpi);
    int small = ::MulDiv(16, static_cast<int>(dpi), kBaseDpi);
    ScopedIcon bigIcon(LoadIconOfSize(icon, big));
    ScopedIcon smallIcon(LoadIconOfSize(icon, small));
    if (bigIcon && smallIcon) {
        ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.Get()));
        ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
        m_bigIcon = std::move(bigIcon);
        m_smallIcon = std::move(smallIcon);
    }
}

void CWizardPage::PutControlsInReadingOrder() {
    struct Control {
        HWND hwnd;
        RECT rc;
        int made;  // place in the template
    };
    std::vector<Control> controls;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rc{};
        ::GetWindowRect(child, &rc);
        controls.push_back(Control{child, rc, static_cast<int>(controls.size())});
    }
    std::stable_sort(controls.begin(), controls.end(), [](const Control& a, const Control& b) {
        return a.rc.top != b.rc.top ? a.rc.top < b.rc.top : a.rc.left < b.rc.left;
    });
    // A control that overlaps one made before it (a group box and its check
    // boxes, the art and the separator) goes back behind that one.
    for (bool moved = true; moved;) {
        moved = false;
        for (size_t i = 0; i < controls.size() && !moved; ++i) {
            for (size_t j = i + 1; j < controls.size(); ++j) {
                RECT common{};
                if (controls[j].made < controls[i].made && ::IntersectRect(&common, &controls[i].rc, &controls[j].rc)) {
                    Control later = controls[i];
                    controls.erase(controls.begin() + static_cast<std::ptrdiff_t>(i));
                    controls.insert(controls.begin() + static_cast<std::ptrdiff_t>(j), later);
                    moved = true;
                    break;
                }
            }
        }
    }
    HWND after = HWND_TOP;
    for (const Control& control : controls) {
        ::SetWindowPos(control.hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = control.hwnd;
    }
}

// The system has scaled the page's font and controls for the new DPI; the
// page takes the place it suggests and the art of that DPI.
BOOL CWizardPage::OnMessage(UINT msg, WPARAM, LPARAM lp, INT_PTR* result) {
    if (msg != WM_DPICHANGED)
        return FALSE;
    const RECT* suggested = reinterpret_cast<const RECT*>(lp);
    if (suggested)
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    FitArt();
    *result = 0;
    return TRUE;
}
