// Small text rules shared by both programs; plain C++ so they are tested directly.
#pragma once
#include <cstdint>

#include "framework/afx_string.h"

// Decimal conversion as the C library does it: leading white space, optional
// sign, digits up to the first other character; no digits gives 0. Wraps to 32 bits.
int32_t DecimalToInt32(const char* text);

// TRUE when the last characters of tail equal word exactly (case-sensitive);
// a tail shorter than the word must equal it whole.
bool TailEndsWith(const CString& tail, const char* word);

// The text up to and including its last backslash; empty when there is none.
CString UpToLastBackslash(const CString& path);

// The text before its last backslash; the whole text when there is none.
CString BeforeLastBackslash(const CString& path);

// Index of the last backslash before the final character (a trailing one is
// not counted); -1 when there is none.
int ParentSeparatorIndex(const CString& path);

// Appends a backslash unless the text already ends with one.
CString WithTrailingBackslash(const CString& path);
