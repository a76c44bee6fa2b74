#include "debug_log.h"

#include <cstdarg>

#include "common/trace.h"

CString g_strDebugLog;

namespace {
void (*g_mirror)(const char* text) = nullptr;
}

const char kDebugLogPreamble[] =
    "Sorry, a fatal error happened with Pagewright Setup, the installation could not be continued. Please kindly "
    "send the following debug messages to support@brellic-software.example, we will try our best to fix the "
    "problem and get back to you as soon as possible. \r\nThank you for your cooperation.\r\n\r\n";

void LogText(const char* text) {
    g_strDebugLog += text;
    if (g_mirror && text)
        g_mirror(text);
}

void LogFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    CString line(FormatToString(format, args));
    va_end(args);
    g_strDebugLog += line;
    if (g_mirror)
        g_mirror(line);
}

void MirrorLog(void (*mirror)(const char* text)) {
    g_mirror = mirror;
}

void ConnectTraceToLog() {
    SetTraceSink(LogText);
}
