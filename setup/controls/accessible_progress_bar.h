// The progress window's bar, telling a screen reader how far the copy is.
#pragma once
#include <windows.h>

#include "framework/wnd.h"

class CAccessibleProgressBar : public CWnd {
protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};
