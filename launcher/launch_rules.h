// What the download passes on to setup, and whether a person is watching.
// Plain C++: these rules are tested without Windows.
#pragma once
#include <string>

#include "common/command_tail.h"

// True when the tail asks for a run without any window: /S, /quiet or
// /VERYSILENT (any case, "-" for "/"), before a /D= that takes the rest.
bool IsUnattended(const std::wstring& tail);

// True when the tail asks for an installation for this user only (/CURRENTUSER),
// which needs no administrator's rights.
bool IsForThisUserOnly(const std::wstring& tail);
