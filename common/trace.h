// Trace lines of the shared operations. Setup routes them into its diagnostic
// log; the uninstaller keeps no trace and leaves the sink unset.
#pragma once

using TraceSink = void (*)(const char* text);
void SetTraceSink(TraceSink sink);
bool TraceEnabled();
void TraceText(const char* text);
void TraceFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
