// A high-contrast theme: the wizard then draws in the system's colours and
// leaves its art out, so every text stands in the colours the person chose.
#pragma once
#include <windows.h>

bool HighContrastOn();
