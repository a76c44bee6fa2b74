// What a screen reader is told about the controls the system cannot describe
// by itself: the owner-drawn buttons are push buttons named by their captions
// without the mnemonic's ampersand; the progress bar tells how far it is; a
// read-only text field reads out its text. Everything else (state, place,
// parent) is what the system tells for any window.
#pragma once
#include <windows.h>

#include "framework/afx_string.h"

// A Picture is a drawing: a title drawn as a picture is read as its words,
// the decoration as nothing at all (its template text is a resource number).
enum class AccessibleKind { PushButton, ProgressBar, ReadOnlyText, Picture };

// The answer to WM_GETOBJECT for such a control; 0 leaves the message to the
// default (for other objects than the client, or without the accessibility
// library). A Picture is named by pictureName.
LRESULT AnswerAccessibility(HWND control, AccessibleKind kind, WPARAM wp, LPARAM lp, const char* pictureName = "");

// "B&rowse..." is read "Browse...", "Fish && Chips" "Fish & Chips".
CString CaptionWithoutMnemonic(const char* caption);
