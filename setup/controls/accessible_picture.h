// A picture of a page, telling a screen reader the words it shows, or that
// it is only a drawing.
#pragma once
#include <windows.h>

#include "framework/afx_string.h"
#include "framework/wnd.h"

class CAccessiblePicture : public CWnd {
public:
    explicit CAccessiblePicture(const char* words) : m_strWords(words) {}

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    CString m_strWords;
};
