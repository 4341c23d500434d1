// What the four readers take from hand-assembled streams, well-formed and hostile.
#include "store/MemoryByteSource.h"
#include "store/MsgRecordTags.h"
#include "store/MsgRecordWriter.h"
#include "store/MsgStreamParsers.h"
#include "store/StringByteSink.h"
#include "tests/store/MemoryFileSink.h"
#include "tests/store/RecordBytes.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct Props {
    bool ok;
    std::string body, to, cc;
};

Props ReadProps(const std::string& bytes, Props start = {}) {
    CMemoryByteSource source(bytes.data(), bytes.size());
    CMsgRecordReader reader(source, bytes.size());
    start.ok = ParseMsgProperties(reader, start.body, start.to, start.cc);
    return start;
}

const uint32_t kHuge = 0xFFFFFFF0u;

TEST(ParseMsgProperties, Table) {
    struct Case {
        const char* what;
        RecordBytes bytes;
        Props expected;
    };
    const std::string kBody = "<p>안녕하세요</p>";
    Case cases[] = {
        {"empty stream", RecordBytes(), {true, "", "", ""}},
        {"only header, empty To and Cc, end",
         RecordBytes().Header().Text(MSGREC_TO, "").Text(MSGREC_CC, "").Dword(MSGREC_END), {true, "", "", ""}},
        {"zero length followed directly by the next tag",
         RecordBytes().Text(MSGREC_TO, "").Text(MSGREC_CC, "c").Dword(MSGREC_END), {true, "", "", "c"}},
        {"Korean texts; fields and keywords dropped",
         RecordBytes().Header().Text(MSGREC_TO, "김철수 <kim@x>").Text(MSGREC_CC, "이영희").Text(MSGREC_KEYWORDS, "k")
             .Text(MSGREC_BODY, kBody).Text(MSGREC_FIELDS, "body\x08x\x7F").Dword(MSGREC_END),
         {true, kBody, "김철수 <kim@x>", "이영희"}},
        {"a later record replaces an earlier one",
         RecordBytes().Text(MSGREC_BODY, "one").Text(MSGREC_BODY, "two"), {true, "two", "", ""}},
        {"a zero-length record leaves the text it would replace",
         RecordBytes().Text(MSGREC_BODY, "one").Text(MSGREC_BODY, ""), {true, "one", "", ""}},
        {"text ends at its first zero byte",
         RecordBytes().Text(MSGREC_BODY, std::string("ab\0cd", 5)), {true, "ab", "", ""}},
        {"tag 4 fails; earlier records kept",
         RecordBytes().Header().Text(MSGREC_TO, "a").Text(4, "x").Text(MSGREC_CC, "c"), {false, "", "a", ""}},
        {"file tags fail", RecordBytes().Text(MSGREC_TO, "a").Dword(MSGREC_ATTACH), {false, "", "a", ""}},
        {"inline tag fails", RecordBytes().Dword(MSGREC_INLINE), {false, "", "", ""}},
        {"a legacy body tag is unknown here", RecordBytes().Text(kLegacyBody, "b"), {false, "", "", ""}},
        {"version without its value", RecordBytes().Dword(MSGREC_VERSION), {false, "", "", ""}},
        {"tag cut short", RecordBytes().Dword(MSGREC_END).Raw("\x08\x00"), {false, "", "", ""}},
        {"length without its bytes", RecordBytes().Dword(MSGREC_TO).Dword(5).Raw("abc"), {false, "", "", ""}},
        {"length cut short", RecordBytes().Dword(MSGREC_CC).Raw("\x01"), {false, "", "", ""}},
        {"huge length past the end", RecordBytes().Dword(MSGREC_BODY).Dword(kHuge).Raw("abc"), {false, "", "", ""}},
        {"huge length of a dropped record", RecordBytes().Dword(MSGREC_FIELDS).Dword(kHuge), {false, "", "", ""}},
    };
    for (const Case& c : cases) {
        Props got = ReadProps(c.bytes.str());
        EXPECT_EQ(got.ok, c.expected.ok) << c.what;
        EXPECT_EQ(got.body, c.expected.body) << c.what;
        EXPECT_EQ(got.to, c.expected.to) << c.what;
        EXPECT_EQ(got.cc, c.expected.cc) << c.what;
    }
}

TEST(ParseMsgProperties, ReadsBackWhatTheWriterWrote) {
    std::string body(3 * 1024 * 1024 + 5, 'b');
    body[0] = '<';
    CStringByteSink sink;
    CMsgRecordWriter writer(sink);
    ASSERT_TRUE(writer.WriteProperties("홍길동;", "", {{"Subject", "제목"}, {"Keywords", "k"}, {"Body", body}}));
    Props got = ReadProps(sink.Bytes());
    EXPECT_TRUE(got.ok);
    EXPECT_EQ(got.body, body);
    EXPECT_EQ(got.to, "홍길동;");
    EXPECT_EQ(got.cc, "");
}

// A source that records what it was asked for: a claimed length must never turn into a
// request for bytes the stream does not hold.
class CountingSource : public CMsgByteSource {
public:
    CountingSource(const std::string& bytes) : m_inner(bytes.data(), bytes.size()) {}
    bool Read(void* buffer, uint32_t length) override {
        m_requested += length;
        return m_inner.Read(buffer, length);
    }
    uint64_t m_requested = 0;

private:
    CMemoryByteSource m_inner;
};

TEST(MsgReaders, ClaimedLengthsPastTheEndAreNeverRequested) {
    const std::string streams[] = {
        RecordBytes().Dword(MSGREC_BODY).Dword(kHuge).Raw(std::string(100, 'x')).str(),
        RecordBytes().Dword(MSGREC_ATTACH).Dword(kHuge).Raw("abc").str(),
        RecordBytes().Dword(MSGREC_ATTACH).Text(0, "name").Dword(kHuge).Raw("abc").str(),
        RecordBytes().Dword(MSGREC_ATTACH).Text(0, "name").Dword(8).Raw("1234567").str(),
    };
    for (const std::string& bytes : streams) {
        CountingSource source(bytes);
        CMsgRecordReader reader(source, bytes.size());
        CMemoryFileSink sink;
        std::string body, to, cc, names, sizes;
        bool ok = bytes.compare(0, 4, RecordBytes().Dword(MSGREC_BODY).str()) == 0
                      ? ParseMsgProperties(reader, body, to, cc)
                      : ParseMsgFiles(reader, sink, names, sizes);
        EXPECT_FALSE(ok);
        EXPECT_LE(source.m_requested, bytes.size());
        EXPECT_TRUE(sink.m_created.empty()) << "a record running past the end creates no file";
        EXPECT_EQ(names, "");
    }
}

struct Legacy {
    bool ok;
    std::string body, addresses;
};

TEST(ParseLegacyProperties, Table) {
    struct Case {
        const char* what;
        RecordBytes bytes;
        Legacy expected;
    };
    RecordBytes allIgnored = RecordBytes().Dword(0).Dword(1).Dword(7);
    for (uint32_t tag : kLegacyDroppedTexts) allIgnored.Text(tag, "dropped;");
    allIgnored.Dword(0x80000000u);
    Case cases[] = {
        {"To with two addresses and Cc with one are merged",
         RecordBytes().Text(kLegacyTo, "a@x;b@y;").Text(kLegacyCc, "c@z;"), {true, "", "a@x; b@y; c@z; "}},
        {"text after the last semicolon is dropped",
         RecordBytes().Text(kLegacyTo, "a@x;b@y").Text(kLegacyCc, "c@z"), {true, "", "a@x; "}},
        {"a lone semicolon, blanks kept", RecordBytes().Text(kLegacyTo, ";").Text(kLegacyCc, " 김;;"),
         {true, "", "; " " 김; ; "}},
        {"body and every dropped tag", RecordBytes(allIgnored).Text(kLegacyBody, "본문"), {true, "본문", ""}},
        {"current-generation body tag is unknown", RecordBytes().Text(kLegacyTo, "a;").Text(MSGREC_BODY, "b"),
         {false, "", "a; "}},
        {"attachment tag is unknown here", RecordBytes().Dword(kLegacyAttach), {false, "", ""}},
        {"address text past the end", RecordBytes().Dword(kLegacyCc).Dword(kHuge).Raw("a;"), {false, "", ""}},
        {"dropped text past the end", RecordBytes().Dword(0x20).Dword(3).Raw("a;"), {false, "", ""}},
    };
    for (const Case& c : cases) {
        const std::string& bytes = c.bytes.str();
        CMemoryByteSource source(bytes.data(), bytes.size());
        CMsgRecordReader reader(source, bytes.size());
        Legacy got;
        got.ok = ParseLegacyProperties(reader, got.body, got.addresses);
        EXPECT_EQ(got.ok, c.expected.ok) << c.what;
        EXPECT_EQ(got.body, c.expected.body) << c.what;
        EXPECT_EQ(got.addresses, c.expected.addresses) << c.what;
    }
}

struct Files {
    bool ok;
    std::string names, sizes;
    std::map<std::string, std::string> files;
};

Files ReadFiles(bool legacy, const std::string& bytes, CMemoryFileSink& sink) {
    CMemoryByteSource source(bytes.data(), bytes.size());
    CMsgRecordReader reader(source, bytes.size());
    Files got;
    got.ok = legacy ? ParseLegacyFiles(reader, sink, got.names, got.sizes)
                    : ParseMsgFiles(reader, sink, got.names, got.sizes);
    got.files = sink.m_files;
    return got;
}

TEST(ParseMsgFiles, Table) {
    struct Case {
        const char* what;
        bool legacy;
        RecordBytes bytes;
        Files expected;
    };
    std::string large(200 * 1024 + 3, '\0');
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i % 251);
    Case cases[] = {
        {"attachments and inline images, in order", false,
         RecordBytes().Header().File(MSGREC_ATTACH, "보고서.hwp", "HWP").File(MSGREC_INLINE, "a.gif", "GIF89a")
             .File(MSGREC_ATTACH, "big.bin", large).Dword(MSGREC_END),
         {true, "보고서.hwp\ta.gif\tbig.bin\t", "3\t6\t204803\t",
          {{"보고서.hwp", "HWP"}, {"a.gif", "GIF89a"}, {"big.bin", large}}}},
        {"zero data length: no file, no entries, reading goes on", false,
         RecordBytes().File(MSGREC_ATTACH, "empty", "").File(MSGREC_ATTACH, "b", "B"),
         {true, "b\t", "1\t", {{"b", "B"}}}},
        {"zero name length ends the record: the next tag follows", false,
         RecordBytes().Text(MSGREC_ATTACH, "").File(MSGREC_ATTACH, "b", "B"), {true, "b\t", "1\t", {{"b", "B"}}}},
        {"same name twice: the later file wins, both listed", false,
         RecordBytes().File(MSGREC_ATTACH, "a.txt", "first").File(MSGREC_ATTACH, "a.txt", "second"),
         {true, "a.txt\ta.txt\t", "5\t6\t", {{"a.txt", "second"}}}},
        {"a name with nothing usable is skipped with its data", false,
         RecordBytes().File(MSGREC_ATTACH, "..", "secret").File(MSGREC_ATTACH, "C:", "x")
             .File(MSGREC_ATTACH, std::string("\0a", 2), "y").File(MSGREC_ATTACH, "ok", "z"),
         {true, "ok\t", "1\t", {{"ok", "z"}}}},
        {"property tags are unknown in a file stream", false,
         RecordBytes().File(MSGREC_ATTACH, "a", "A").Text(MSGREC_BODY, "b").File(MSGREC_ATTACH, "c", "C"),
         {false, "a\t", "1\t", {{"a", "A"}}}},
        {"tag 2 is unknown in a file stream", false, RecordBytes().Text(MSGREC_FIELDS, ""), {false, "", "", {}}},
        {"a legacy attachment is unknown in the current stream", false,
         RecordBytes().File(kLegacyAttach, "a", "A"), {false, "", "", {}}},
        {"data past the end: no file", false,
         RecordBytes().File(MSGREC_ATTACH, "a", "A").Text(MSGREC_ATTACH, "b").Dword(10).Raw("123"),
         {false, "a\t", "1\t", {{"a", "A"}}}},
        {"data length cut short", false, RecordBytes().Text(MSGREC_ATTACH, "b").Raw("\x01\x00"), {false, "", "", {}}},
        {"name past the end", false, RecordBytes().Dword(MSGREC_ATTACH).Dword(kHuge).Raw("..\\x"), {false, "", "", {}}},
        {"legacy attachments, begin, version and end", true,
         RecordBytes().Dword(0).Dword(1).Dword(3).File(kLegacyAttach, "옛날.txt", "old").Dword(0x80000000u),
         {true, "옛날.txt\t", "3\t", {{"옛날.txt", "old"}}}},
        {"current tags are unknown in a legacy stream", true,
         RecordBytes().File(kLegacyAttach, "a", "A").File(MSGREC_ATTACH, "b", "B"), {false, "a\t", "1\t", {{"a", "A"}}}},
        {"legacy end tag is unknown in a current stream", false, RecordBytes().Dword(0x80000000u), {false, "", "", {}}},
        {"current end tag is unknown in a legacy stream", true, RecordBytes().Dword(MSGREC_END), {false, "", "", {}}},
    };
    for (const Case& c : cases) {
        CMemoryFileSink sink;
        Files got = ReadFiles(c.legacy, c.bytes.str(), sink);
        EXPECT_EQ(got.ok, c.expected.ok) << c.what;
        EXPECT_EQ(got.names, c.expected.names) << c.what;
        EXPECT_EQ(got.sizes, c.expected.sizes) << c.what;
        EXPECT_EQ(got.files, c.expected.files) << c.what;
        EXPECT_TRUE(sink.m_discarded.empty()) << c.what;
    }
}

TEST(ParseMsgFiles, AFileTheSinkCannotCreateIsLeftOut) {
    CMemoryFileSink sink;
    sink.m_failCreate = "a";
    Files got = ReadFiles(false, RecordBytes().File(MSGREC_ATTACH, "a", "A").File(MSGREC_ATTACH, "b", "B").str(), sink);
    EXPECT_TRUE(got.ok);
    EXPECT_EQ(got.names, "b\t");
    EXPECT_EQ(got.sizes, "1\t");
}

// The source fails in the middle of a file's data: the half file is discarded.
TEST(ParseMsgFiles, SourceFailureDiscardsTheHalfFile) {
    class FailingSource : public CMsgByteSource {
    public:
        explicit FailingSource(const std::string& bytes) : m_inner(bytes.data(), bytes.size()) {}
        bool Read(void* buffer, uint32_t length) override {
            if (length == CMsgRecordReader::kChunkSize && ++m_chunks == 2) return false;
            return m_inner.Read(buffer, length);
        }

    private:
        CMemoryByteSource m_inner;
        int m_chunks = 0;
    };
    std::string bytes = RecordBytes().File(MSGREC_ATTACH, "a", std::string(3 * CMsgRecordReader::kChunkSize, 'a')).str();
    FailingSource source(bytes);
    CMsgRecordReader reader(source, bytes.size());
    CMemoryFileSink sink;
    std::string names, sizes;
    EXPECT_FALSE(ParseMsgFiles(reader, sink, names, sizes));
    EXPECT_EQ(sink.m_discarded, std::vector<std::string>{"a"});
    EXPECT_TRUE(sink.m_files.empty());
    EXPECT_EQ(names, "");
}

}  // namespace
