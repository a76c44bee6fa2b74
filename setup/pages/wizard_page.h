// What every window of the wizard does for the display it is on: its art and
// icons at the window's DPI, fitted again when the window moves to a monitor
// of another DPI.
#pragma once
#include <vector>

#include "framework/dialog.h"
#include "framework/scoped_handles.h"

class CWizardPage : public CDialog {
public:
    explicit CWizardPage(UINT templateId) : CDialog(templateId) {}

protected:
    // Puts the art of the window's DPI on the page; at 96 DPI, on a page that
    // never changed DPI, the template's own art stays untouched.
    virtual void FitArt();
    BOOL OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR* result) override;

private:
    void LeaveArtOut();
    std::vector<ScopedGdiObject> m_art;
    ScopedIcon m_bigIcon;
    ScopedIcon m_smallIcon;
    bool m_bArtFitted = false;
};
