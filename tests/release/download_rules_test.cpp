// Rules of the download: the trailer found before a signature, the list, and
// when a person is watching.
#include <gtest/gtest.h>

#include <cstring>

#include "launcher/download_layout.h"
#include "launcher/launch_rules.h"
#include "launcher/sha256.h"

namespace {
void PutLittleEndian(unsigned char* at, uint64_t value) {
    for (int i = 0; i < 8; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

// A trailer for packed media at 1000 of 500 bytes and a list of 100, then padding.
std::string Tail(size_t padding) {
    std::string tail(kTrailerSize + padding, '\0');
    auto* bytes = reinterpret_cast<unsigned char*>(tail.data());
    PutLittleEndian(bytes, 1000);
    PutLittleEndian(bytes + 8, 500);
    PutLittleEndian(bytes + 16, 100);
    std::memcpy(bytes + 24, kTrailerMagic, 8);
    return tail;
}
}  // namespace

TEST(DownloadRules, TrailerIsFoundBeforeTheSignaturePaddingAndMustAddUp) {
    PayloadLocation location;
    // 1000 + 500 + 100 + 4 bytes of padding + the trailer.
    std::string tail = Tail(0);
    ASSERT_TRUE(ReadTrailer(reinterpret_cast<const unsigned char*>(tail.data()), tail.size(), 1636, &location));
    EXPECT_EQ(1500u, location.listOffset);
    tail = Tail(4);
    EXPECT_TRUE(ReadTrailer(reinterpret_cast<const unsigned char*>(tail.data()), tail.size(), 1640, &location));
    // A file cut short, or sizes that point past the trailer.
    EXPECT_FALSE(ReadTrailer(reinterpret_cast<const unsigned char*>(tail.data()), tail.size(), 1500, &location));
    tail[kTrailerSize - 1] = 'X';
    EXPECT_FALSE(ReadTrailer(reinterpret_cast<const unsigned char*>(tail.data()), tail.size(), 1640, &location));
}

TEST(DownloadRules, SumListAcceptsOnlyPlainNamesOnce) {
    const std::string sum(64, 'a');
    std::vector<FileSum> sums;
    EXPECT_TRUE(ParseSumList(sum + "  setup.exe\n" + sum + "  what's new.txt\n", &sums));
    EXPECT_EQ(2u, sums.size());
    for (const char* bad : {"..", "sub\\setup.exe", "../setup.exe", "c:setup.exe"})
        EXPECT_FALSE(ParseSumList(sum + "  " + bad + "\n", &sums)) << bad;
    EXPECT_FALSE(ParseSumList(sum + "  a\n" + sum + "  a\n", &sums));
    EXPECT_FALSE(ParseSumList(std::string(63, 'a') + "  a\n", &sums));
}

TEST(DownloadRules, UnattendedOnlyForTheSilentSwitches) {
    struct Case {
        const wchar_t* tail;
        bool unattended;
    } cases[] = {
        {L"", false},
        {L"/S", true},
        {L"-s /LOG", true},
        {L"/quiet", true},
        {L"/VERYSILENT", true},
        {L"/passive", false},
        {L"/SILENT", false},
        {L"autorun", false},
        {L"/D=C:\\x /S", false},
        {L"/LOG /s /D=C:\\a", true},
        {L"\"/S\"", true},
        {L"\"/LOG=C:\\my logs\\a /S.log\" /passive", false},
        {L"\"/DIR=C:\\a b\" \"/quiet\"", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.unattended, IsUnattended(c.tail)) << std::wstring(c.tail).size();
    EXPECT_EQ(L"/S /D=C:\\a b", CommandTail(L"\"C:\\Down loads\\Pagewright.exe\"  /S /D=C:\\a b"));
    EXPECT_EQ(L"", CommandTail(L"Pagewright.exe"));
    // Only an installation for this user goes without the elevation prompt.
    EXPECT_TRUE(IsForThisUserOnly(L"/S \"/currentuser\""));
    EXPECT_FALSE(IsForThisUserOnly(L"/S /ALLUSERS"));
    EXPECT_FALSE(IsForThisUserOnly(L"/D=C:\\x /CURRENTUSER"));
}

// The digest the download is checked with, by both ways of computing it, fed
// in pieces of every size across the 64-byte blocks.
TEST(DownloadRules, Sha256OfKnownTexts) {
    struct Case {
        std::string text;
        const char* digest;
    } const cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (bool generic : {false, true}) {
        for (const Case& c : cases) {
            Sha256 whole(generic);
            whole.Add(c.text.data(), c.text.size());
            EXPECT_EQ(whole.HexDigest(), c.digest) << c.text.size() << (generic ? " generic" : "");
            Sha256 pieces(generic);
            for (size_t at = 0, piece = 1; at < c.text.size(); at += piece, piece = piece % 131 + 1)
                pieces.Add(c.text.data() + at, std::min(piece, c.text.size() - at));
            EXPECT_EQ(pieces.HexDigest(), c.digest) << c.text.size() << (generic ? " generic" : "");
        }
    }
}
