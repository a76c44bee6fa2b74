// Setup's trace of every install step, kept in memory for the report dialog.
#pragma once
#include "framework/afx_string.h"

extern CString g_strDebugLog;

extern const char kDebugLogPreamble[];

void LogText(const char* text);
void LogFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Sends the shared operations' trace lines into the log.
void ConnectTraceToLog();
// Also hands every later addition to the log to mirror (the run's log file).
void MirrorLog(void (*mirror)(const char* text));
