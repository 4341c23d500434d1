// The record writer: exact bytes of the property stream and of file records.
#include "store/MemoryByteSource.h"
#include "store/MsgRecordTags.h"
#include "store/MsgRecordWriter.h"
#include "store/StringByteSink.h"
#include "tests/store/RecordBytes.h"

#include <gtest/gtest.h>

namespace {

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) out += ' ';
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

std::string Properties(const std::string& to, const std::string& cc, const std::vector<MsgReplyField>& fields) {
    CStringByteSink sink;
    CMsgRecordWriter writer(sink);
    EXPECT_TRUE(writer.WriteProperties(to, cc, fields));
    return sink.Bytes();
}

TEST(MsgRecordWriter, PropertyStreamOfOneLetterMessageIsTheDocumentedBytes) {
    const std::string expected =
        "00 00 00 00 01 00 00 00 00 00 01 00 00 00 80 00 01 00 00 00 61 "
        "00 00 00 01 00 00 00 00 05 00 00 00 01 00 00 00 78 02 00 00 00 "
        "07 00 00 00 62 6F 64 79 08 78 7F 08 00 00 00";
    std::string bytes = Properties("a", "", {{"body", "x"}});
    EXPECT_EQ(bytes.size(), 57u);
    EXPECT_EQ(Hex(bytes), expected);
}

TEST(MsgRecordWriter, PropertyStreamRecordOrder) {
    struct Case {
        const char* what;
        std::string to, cc;
        std::vector<MsgReplyField> fields;
        RecordBytes expected;
    };
    const std::string kKorean = "받는 사람";  // CP949 in the binary
    Case cases[] = {
        {"no reply records: no fields record", "", "", {},
         RecordBytes().Header().Text(MSGREC_TO, "").Text(MSGREC_CC, "").Dword(MSGREC_END)},
        {"names compared in any case, in reply order", "t", "c",
         {{"BODY", "<p>"}, {"subject", "s"}, {"keywords", "k"}},
         RecordBytes()
             .Header()
             .Text(MSGREC_TO, "t")
             .Text(MSGREC_CC, "c")
             .Text(MSGREC_BODY, "<p>")
             .Text(MSGREC_KEYWORDS, "k")
             .Text(MSGREC_FIELDS, "BODY\x08<p>\x7Fsubject\x08s\x7Fkeywords\x08k\x7F")
             .Dword(MSGREC_END)},
        {"a record without name or value still makes a fields record", kKorean, "", {{"", ""}},
         RecordBytes().Header().Text(MSGREC_TO, kKorean).Text(MSGREC_CC, "").Text(MSGREC_FIELDS, "\x08\x7F").Dword(MSGREC_END)},
        {"names that only start like the known ones are plain fields", "", "", {{"bodyx", "1"}, {"Keyword", "2"}},
         RecordBytes().Header().Text(MSGREC_TO, "").Text(MSGREC_CC, "")
             .Text(MSGREC_FIELDS, "bodyx\x08" "1\x7FKeyword\x08" "2\x7F").Dword(MSGREC_END)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Hex(Properties(c.to, c.cc, c.fields)), Hex(c.expected.str())) << c.what;
    }
}

TEST(MsgRecordWriter, FileRecordCopiesContentInChunks) {
    std::string content(3 * CMsgRecordWriter::kChunkSize + 17, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    CMemoryByteSource source(content.data(), content.size());
    CStringByteSink sink;
    CMsgRecordWriter writer(sink);
    ASSERT_TRUE(writer.WriteFile(MSGREC_ATTACH, "첨부.bin", static_cast<uint32_t>(content.size()), source));
    EXPECT_EQ(sink.Bytes(), RecordBytes().File(MSGREC_ATTACH, "첨부.bin", content).str());
    EXPECT_EQ(source.Position(), content.size());
}

TEST(MsgRecordWriter, RefusesWhatTheReadersCouldNotTakeBack) {
    std::string content = "abc";
    CStringByteSink sink;
    CMsgRecordWriter writer(sink);
    CMemoryByteSource source(content.data(), content.size());
    EXPECT_FALSE(writer.WriteFile(MSGREC_INLINE, "", 3, source)) << "empty name";
    EXPECT_EQ(sink.Bytes(), "");
    CMemoryByteSource shortSource(content.data(), content.size());
    EXPECT_FALSE(writer.WriteFile(MSGREC_INLINE, "a", 4, shortSource)) << "content shorter than its length";
}

}  // namespace
