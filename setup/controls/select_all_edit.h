// A read-only text a person copies from: Ctrl+A selects all of it, so that
// Ctrl+C takes the whole text, whichever edit control the system has.
#pragma once
#include <windows.h>

#include "framework/wnd.h"

class CSelectAllEdit : public CWnd {
protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};
