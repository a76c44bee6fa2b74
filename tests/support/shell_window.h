// The desktop's shell window, which on Windows the user's shell provides and
// Wine, without a shell, lacks: an elevated setup takes the user's ordinary
// rights from the process that owns it.
#pragma once

// Makes this test process the owner of the shell window, once; the window
// answers its messages on a thread of its own until the process ends.
void ProvideShellWindow();
