// Lets GoogleTest show a CString as its text in failure messages.
#pragma once
#include <ostream>

#include "framework/afx_string.h"

inline void PrintTo(const CString& text, std::ostream* out) {
    *out << '"' << text.c_str() << '"';
}
