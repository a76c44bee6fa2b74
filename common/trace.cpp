#include "trace.h"

#include <cstdarg>
#include <string>

#include "framework/afx_string.h"

namespace {
TraceSink g_sink = nullptr;
}

void SetTraceSink(TraceSink sink) {
    g_sink = sink;
}

bool TraceEnabled() {
    return g_sink != nullptr;
}

void TraceText(const char* text) {
    if (g_sink && text)
        g_sink(text);
}

void TraceFormat(const char* format, ...) {
    if (!g_sink)
        return;
    va_list args;
    va_start(args, format);
    std::string line = FormatToString(format, args);
    va_end(args);
    g_sink(line.c_str());
}
