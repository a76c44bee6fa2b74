#include <gtest/gtest.h>

#include "common/install_record.h"

namespace {
RecordEntry Entry(RecordKind kind, const char* path, const char* aside = "", bool flag = false) {
    RecordEntry e;
    e.kind = kind;
    e.path = path;
    e.aside = aside;
    e.flag = flag;
    return e;
}

std::string Record(const std::vector<RecordEntry>& entries) {
    std::string text = kRecordHeader;
    for (const RecordEntry& e : entries)
        text += EncodeEntry(e);
    return text;
}
}  // namespace

TEST(InstallRecord, EveryKindReadsBackWithAnyBytes) {
    RecordEntry value;
    value.kind = RecordKind::ValueSet;
    value.root = "HKCU";
    value.path = "Software\\Brellic Software\\Pagewright";
    value.aside = "Setup\tPath %41";
    value.flag = true;
    value.type = 3;
    value.data = std::string("a\0b\r\n%\t\xff", 8);
    std::vector<RecordEntry> written = {
        Entry(RecordKind::FolderCreated, "C:\\Apps\\Pagewright\\"),
        Entry(RecordKind::FileCreated, "C:\\Apps\\Pagewright\\what's new.txt"),
        Entry(RecordKind::FileReplaced, "C:\\Apps\\\xd0\x9f\\Scrivo.exe", "C:\\Apps\\~1.tmp", true),
        value,
        Entry(RecordKind::KeyCreated, "Software\\x"),
    };
    ParsedRecord read = ParseRecord(Record(written) + EncodeEntry(Entry(RecordKind::Committed, "")));
    ASSERT_TRUE(read.valid);
    EXPECT_TRUE(read.committed);
    EXPECT_FALSE(read.torn);
    ASSERT_EQ(read.entries.size(), written.size());
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(read.entries[i].kind, written[i].kind);
        EXPECT_EQ(read.entries[i].path, written[i].path);
        EXPECT_EQ(read.entries[i].aside, written[i].aside);
        EXPECT_EQ(read.entries[i].flag, written[i].flag);
    }
    EXPECT_EQ(read.entries[3].data, value.data);
    EXPECT_EQ(read.entries[3].type, 3u);
    EXPECT_EQ(read.entries[3].root, "HKCU");
    EXPECT_FALSE(ParseRecord("something else\r\n").valid);
}

TEST(InstallRecord, ATornOrDamagedLastEntryIsIgnored) {
    std::string good =
        Record({Entry(RecordKind::FolderCreated, "C:\\A\\"), Entry(RecordKind::FileCreated, "C:\\A\\x")});
    std::string last = EncodeEntry(Entry(RecordKind::FileCreated, "C:\\A\\readme.txt"));
    for (size_t cut = 0; cut < last.size(); ++cut) {
        ParsedRecord read = ParseRecord(good + last.substr(0, cut));
        EXPECT_EQ(read.entries.size(), 2u) << cut;
        EXPECT_EQ(read.torn, cut > 0) << cut;
        EXPECT_FALSE(read.committed);
    }
    for (size_t at = 0; at < last.size() - 2; ++at) {
        std::string damaged = last;
        damaged[at] ^= 0x04;
        ParsedRecord read = ParseRecord(good + damaged);
        EXPECT_EQ(read.entries.size(), 2u) << at;
        EXPECT_TRUE(read.torn) << at;
    }
}

TEST(InstallRecord, RemovalTakesOnlyWhatSetupCreated) {
    RemovalPlan plan = PlanRemoval({
        Entry(RecordKind::FolderCreated, "D:\\Tools\\Brellic\\"),
        Entry(RecordKind::FolderCreated, "D:\\Tools\\Brellic\\Pagewright\\"),
        Entry(RecordKind::FileCreated, "D:\\Tools\\Brellic\\Pagewright\\Scrivo.exe"),
        Entry(RecordKind::FileReplaced, "D:\\Tools\\Brellic\\Pagewright\\GDIPlus.dll", "D:\\x.tmp", false),
        Entry(RecordKind::FileReplaced, "D:\\Tools\\Brellic\\Pagewright\\readme.txt", "D:\\y.tmp", true),
        Entry(RecordKind::FileCreated, "D:\\TOOLS\\Brellic\\Pagewright\\scrivo.exe"),
    });
    EXPECT_EQ(plan.files, (std::vector<std::string>{"D:\\Tools\\Brellic\\Pagewright\\Scrivo.exe",
                                                    "D:\\Tools\\Brellic\\Pagewright\\readme.txt"}));
    EXPECT_EQ(plan.folders, (std::vector<std::string>{"D:\\Tools\\Brellic\\Pagewright\\", "D:\\Tools\\Brellic\\"}));
}
