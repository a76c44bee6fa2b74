// Trace lines of the shared operations. Setup routes them into its diagnostic
// log; the uninstaller keeps no trace and leaves the sink unset.
//
// Every trace text is written exactly as support has always received it,
// misspellings ("reutrn", "initCopuFileList"), odd line ends ("\n\r", "\r\n ")
// and missing line ends included: support's tools and people read reports from
// every version side by side, so a line is never reworded or tidied.
#pragma once

using TraceSink = void (*)(const char* text);
void SetTraceSink(TraceSink sink);
bool TraceEnabled();
void TraceText(const char* text);
void TraceFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
