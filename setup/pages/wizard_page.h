// What every window of the wizard does for the display it is on: its art and
// icons at the window's DPI, fitted again when the window moves to a monitor
// of another DPI.
#pragma once
#include <memory>
#include <vector>

#include "framework/dialog.h"
#include "framework/scoped_handles.h"
#include "setup/controls/accessible_picture.h"
#include "setup/controls/scaled_art.h"

class CWizardPage : public CDialog {
public:
    explicit CWizardPage(UINT templateId) : CDialog(templateId) {}

protected:
    // The end of OnInitDialog: FitArt, the controls in reading order, and the
    // focus on the control the template gives it first, whatever the reading
    // order put first; returns what OnInitDialog returns.
    BOOL FinishOpening();
    // Puts the art of the window's DPI on the page; at 96 DPI, on a page that
    // never changed DPI, the template's own art stays untouched.
    virtual void FitArt();
    BOOL OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR* result) override;
    // Puts the controls in reading order (top to bottom, left to right), the
    // order in which Tab visits them and a screen reader reads them; controls
    // that overlap keep their order to one another, so nothing paints
    // differently. The focus the page opens with stays the template's.
    void PutControlsInReadingOrder();

private:
    void LeaveArtOut();
    void NamePictures();
    HWND ArtControl(const TemplateArt& item) const;
    std::vector<ScopedGdiObject> m_art;
    std::vector<std::unique_ptr<CAccessiblePicture>> m_pictures;
    ScopedIcon m_bigIcon;
    ScopedIcon m_smallIcon;
    bool m_bArtFitted = false;
};
