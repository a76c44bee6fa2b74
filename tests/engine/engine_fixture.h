// Shared set-up of the install-engine tests: an application object with an
// empty trace, the system facts restored afterwards, and scratch folders for
// media and destination.
#pragma once
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "common/product_catalogue.h"
#include "cstring_printer.h"
#include "setup/debug_log.h"
#include "test_app.h"
#include "test_fs.h"
#include "test_paths.h"

// The media's editor carries this version; the test builds carry others.
inline constexpr char kMediaEditorVersion[] = "2.1.0.0";

// Every file the media can carry, in copying order, and the name it is
// installed under, as the product's documentation lists them: written out here
// rather than read from the catalogue, so that a wrong entry there fails.
struct MediaFileNames {
    const char* media;
    const char* installed;
};
inline constexpr MediaFileNames kMediaFiles[] = {
    {"Scrivo.ex_", "Scrivo.exe"},           {"readme.txt", "readme.txt"},
    {"uninstall.ex_", "uninstall.exe"},     {"BRLXCJK.BIN", "BRLXCJK.BIN"},
    {"what's new.txt", "what's new.txt"},   {"Known Issues.txt", "Known Issues.txt"},
    {"msimg32.dl_", "msimg32.dll"},         {"mscms.dl_", "mscms.dll"},
    {"GDIPlus.dl_", "GDIPlus.dll"},         {"leafview.ex_", "leafview.exe"},
    {"scrivoguide.pdf", "scrivoguide.pdf"},
};

inline const std::vector<CString> kEveryMediaFile = [] {
    std::vector<CString> names;
    for (const MediaFileNames& file : kMediaFiles)
        names.push_back(file.media);
    return names;
}();

// The installed name of a media file of that list; empty (and a failure) for any other.
inline std::string InstalledNameOf(const CString& mediaName) {
    for (const MediaFileNames& file : kMediaFiles)
        if (mediaName == file.media)
            return file.installed;
    ADD_FAILURE() << "not a media file: " << mediaName.c_str();
    return {};
}

inline std::string TestEditor(const std::string& version) {
    return std::string(TEST_DATA_DIR) + "\\scrivo-" + version + ".exe";
}

// A trace with every printed address replaced by 0xADDR.
inline std::string WithoutAddresses(const std::string& text) {
    return std::regex_replace(text, std::regex("0x[0-9a-f]+"), "0xADDR");
}

class EngineTest : public ::testing::Test {
protected:
    SystemSeamGuard seam;
    const SystemSeam realSystem = g_system;
    TestSetupApp app;
    CInstallEngine& engine = app.m_engine;
    ScratchDir scratch{"engine"};

    std::string Log() const { return g_strDebugLog.str(); }
    std::string VersionOf(const std::string& path) {
        CString version;
        engine.GetFileVersion(version, path.c_str());
        return version.str();
    }
    // A media folder holding copies of the named media files.
    std::string MakeMedia(const std::vector<CString>& names, const std::string& folder = "media") {
        std::string media = scratch / folder;
        ::CreateDirectoryA(media.c_str(), nullptr);
        for (const CString& name : names)
            EXPECT_TRUE(CopyOneFile(std::string(TEST_MEDIA_DIR) + "\\" + name.c_str(), media + "\\" + name.c_str()));
        return media;
    }
    // Copy list, source and destination as the wizard leaves them before the copy.
    void Prepare(const std::string& source, const std::string& destination, const std::vector<CString>& list) {
        app.m_strSourceDir = source.c_str();
        app.m_strInstallDir = destination.c_str();
        app.m_pCopyList = list;
        app.m_nCopyCount = static_cast<int>(list.size());
        g_strDebugLog.Empty();
    }
};
