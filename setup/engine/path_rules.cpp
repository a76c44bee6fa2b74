#include "path_rules.h"

namespace {
bool EndsWithBackslash(const CString& text) {
    return !text.IsEmpty() && text[text.GetLength() - 1] == '\\';
}

// Components between backslashes from index start on, empty ones dropped.
std::vector<CString> Components(const CString& path, int start) {
    std::vector<CString> parts;
    CString part;
    for (int i = start; i < path.GetLength(); ++i) {
        if (path[i] == '\\') {
            if (!part.IsEmpty())
                parts.push_back(part);
            part.Empty();
        } else {
            part += path[i];
        }
    }
    if (!part.IsEmpty())
        parts.push_back(part);
    return parts;
}
}  // namespace

CString PathInFolder(const CString& folder, const CString& name) {
    return EndsWithBackslash(folder) ? folder + name : folder + "\\" + name;
}

CString FolderSearchPattern(const CString& folder) {
    return EndsWithBackslash(folder) ? folder + "*.*" : folder + "\\*.*";
}

FolderSteps SplitFolderSteps(const CString& path) {
    FolderSteps steps;
    bool network = path.GetLength() >= 2 && path[0] == '\\' && path[1] == '\\';
    if (!network) {
        if (EndsWithBackslash(path.Left(1)))
            steps.root = "\\";
        steps.components = Components(path, 0);
        return steps;
    }
    // Server and share name a place that exists or not; neither can be made with CreateDirectory.
    std::vector<CString> parts = Components(path, 2);
    steps.root = "\\\\";
    size_t kept = parts.size() < 2 ? parts.size() : 2;
    for (size_t i = 0; i < kept; ++i)
        steps.root += parts[i] + "\\";
    steps.components.assign(parts.begin() + static_cast<long>(kept), parts.end());
    return steps;
}
