#include "run_options.h"

#include <cctype>
#include <string>
#include <vector>

namespace {
bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

bool SameName(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

bool EndsWith(const std::string& text, const char* word) {
    std::string w(word);
    return text.size() >= w.size() && text.compare(text.size() - w.size(), w.size(), w) == 0;
}

// One word of a command line: a switch's name and value, or a plain word.
struct Word {
    bool isSwitch = false;
    bool hasValue = false;
    std::string name;   // without its leading / or -
    std::string value;  // quotes removed
    std::string text;   // as given
};

// Reads a quoted or plain stretch from pos: up to the closing quote, or to a blank.
std::string ReadValue(const std::string& s, size_t& pos) {
    std::string value;
    if (pos < s.size() && s[pos] == '"') {
        size_t close = s.find('"', pos + 1);
        if (close == std::string::npos)
            close = s.size();
        value = s.substr(pos + 1, close - pos - 1);
        pos = close < s.size() ? close + 1 : close;
        while (pos < s.size() && !IsBlank(s[pos]))
            value += s[pos++];
        return value;
    }
    while (pos < s.size() && !IsBlank(s[pos]))
        value += s[pos++];
    return value;
}

std::vector<Word> SplitWords(const std::string& s) {
    std::vector<Word> words;
    size_t pos = 0;
    while (true) {
        while (pos < s.size() && IsBlank(s[pos]))
            ++pos;
        if (pos >= s.size())
            break;
        size_t start = pos;
        Word word;
        if (s[pos] == '"' && pos + 1 < s.size() && (s[pos + 1] == '/' || s[pos + 1] == '-')) {
            // A whole switch in quotes, as programs that quote every argument with a blank pass it.
            size_t close = s.find('"', pos + 1);
            if (close == std::string::npos)
                close = s.size();
            std::string quoted = s.substr(pos + 1, close - pos - 1);
            std::vector<Word> inner = SplitWords(quoted);
            pos = close < s.size() ? close + 1 : close;
            if (!inner.empty()) {
                word = inner.front();
                // The quotes hold one switch: its value runs up to them, blanks and all.
                if (word.hasValue)
                    word.value = quoted.substr(quoted.find('=') + 1);
                word.text = s.substr(start, pos - start);
                words.push_back(word);
            }
            continue;
        }
        if (s[pos] == '/' || s[pos] == '-') {
            word.isSwitch = true;
            ++pos;
            while (pos < s.size() && !IsBlank(s[pos]) && s[pos] != '=')
                word.name += s[pos++];
            if (pos < s.size() && s[pos] == '=') {
                ++pos;
                word.hasValue = true;
                if (SameName(word.name, "D")) {
                    // The destination takes the rest of the line, blanks and all.
                    std::string rest = s.substr(pos);
                    while (!rest.empty() && IsBlank(rest.back()))
                        rest.pop_back();
                    word.value = rest;
                    pos = s.size();
                } else {
                    word.value = ReadValue(s, pos);
                }
            }
        } else {
            word.value = ReadValue(s, pos);
        }
        word.text = s.substr(start, pos - start);
        words.push_back(word);
    }
    return words;
}

enum class Known { No, Applied, Misused };

// Switches both programs know.
Known ApplyCommonSwitch(const Word& w, RunOptions& options) {
    if (SameName(w.name, "S") || SameName(w.name, "quiet") || SameName(w.name, "VERYSILENT")) {
        if (w.hasValue)
            return Known::Misused;
        options.ui = UiLevel::Silent;
        return Known::Applied;
    }
    if (SameName(w.name, "LOG")) {
        options.log = true;
        options.logFile = w.value.c_str();
        return Known::Applied;
    }
    return Known::No;
}

void NoteBadSwitch(const Word& w, RunOptions& options) {
    if (options.badSwitch.IsEmpty())
        options.badSwitch = w.text.c_str();
}
}  // namespace

const char* ExitCodeMeaning(int code) {
    switch (code) {
        case kExitSuccess:
            return "success";
        case kExitCancelled:
            return "cancelled by the user";
        case kExitFailed:
            return "failed";
        case kExitAlreadyRunning:
            return "another installation or removal is in progress";
        case kExitBadCommandLine:
            return "bad command line";
        default:
            return "unknown";
    }
}

RunOptions ParseSetupSwitches(const CString& tail) {
    RunOptions options;
    std::vector<Word> words = SplitWords(tail.str());
    for (const Word& w : words) {
        if (!w.isSwitch)
            continue;
        // "/autorun" and the like belong to the tail rules, not to the switches.
        if (!w.hasValue && (EndsWith(w.text, "autorun") || EndsWith(w.text, "notruneditor")))
            continue;
        bool flag = !w.hasValue;
        Known common = ApplyCommonSwitch(w, options);
        if (common == Known::Applied)
            continue;
        if (common == Known::Misused) {
            NoteBadSwitch(w, options);
        } else if (flag && (SameName(w.name, "passive") || SameName(w.name, "SILENT"))) {
            if (options.ui != UiLevel::Silent)
                options.ui = UiLevel::Passive;
        } else if (w.hasValue && (SameName(w.name, "D") || SameName(w.name, "DIR")) && !w.value.empty()) {
            options.installDir = w.value.c_str();
        } else if (flag && SameName(w.name, "NODESKTOP")) {
            options.noDesktop = true;
        } else if (flag && SameName(w.name, "NOSTARTMENU")) {
            options.noStartMenu = true;
        } else if (flag && SameName(w.name, "RUN")) {
            options.run = true;
        } else if (flag && SameName(w.name, "ALLUSERS")) {
            options.scope = InstallScope::AllUsers;
        } else if (flag && SameName(w.name, "CURRENTUSER")) {
            options.scope = InstallScope::CurrentUser;
        } else if (flag && SameName(w.name, "NORESTART")) {
            // Nothing here needs a restart.
        } else if (flag && (SameName(w.name, "?") || SameName(w.name, "help"))) {
            options.help = true;
        } else {
            NoteBadSwitch(w, options);
        }
    }
    return options;
}

RunOptions ParseUninstallSwitches(const CString& tail, CString* rest) {
    RunOptions options;
    const std::string& s = tail.str();
    size_t consumed = 0;
    for (const Word& w : SplitWords(s)) {
        if (!w.isSwitch)
            break;
        if (ApplyCommonSwitch(w, options) != Known::Applied)
            NoteBadSwitch(w, options);
        consumed = s.find(w.text, consumed) + w.text.size();
    }
    if (rest)
        *rest = s.substr(consumed).c_str();
    return options;
}

CString SetupHelpText() {
    return "Setup of Brellic Pagewright.\n\n"
           "setup.exe [/S | /passive] [/NODESKTOP] [/NOSTARTMENU] [/RUN] [/LOG[=\"file\"]]\n"
           "          [/ALLUSERS | /CURRENTUSER] [/NORESTART] [/DIR=\"folder\" | /D=folder]\n\n"
           "/S, /quiet, /VERYSILENT\tinstall without any window or question\n"
           "/passive, /SILENT\tshow only the progress window\n"
           "/D=folder\tdestination; must come last, without quotes\n"
           "/DIR=\"folder\"\tdestination\n"
           "/NODESKTOP\tno desktop shortcut\n"
           "/NOSTARTMENU\tno Start-menu group\n"
           "/RUN\tstart the editor at the end\n"
           "/LOG[=\"file\"]\twrite a log of the run\n"
           "/ALLUSERS\tinstall for all users (administrators only)\n"
           "/CURRENTUSER\tinstall for this user only\n"
           "/NORESTART\taccepted; no restart is ever needed\n"
           "/?, /help\tthis text\n\n"
           "Exit codes: 0 success, 1602 cancelled, 1603 failed (see the log),\n"
           "1618 another setup or uninstall is running, 1639 bad command line.";
}
