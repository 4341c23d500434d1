// Message files crossing to and from writers and readers we did not write: reads the
// files OLE::Storage_Lite made, and writes the files olefile checks afterwards. The
// folder comes in NVATT_STORE_INTEROP (ctest sets it).
#include "store/MsgFileStreamWriter.h"
#include "store/MsgPropertyStream.h"
#include "store/MsgReaders.h"
#include "store/MsgRecordTags.h"
#include "store/MsgStorage.h"
#include "tests/store/WinFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using testfiles::ScratchFolder;

std::string Pattern(size_t size, int seed) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 31 + seed) % 253);
    return data;
}

class Interop : public ::testing::Test {
protected:
    void SetUp() override {
        const char* dir = std::getenv("NVATT_STORE_INTEROP");
        ASSERT_TRUE(dir && *dir) << "NVATT_STORE_INTEROP is not set: run this test through ctest";
        m_dir = dir;
    }
    std::string m_dir;
};

TEST_F(Interop, ReadsCurrentFileOfAnotherWriter) {
    ScratchFolder out("interop-current");
    CMsgStorage storage;
    ASSERT_TRUE(storage.Open((m_dir + "\\perl-current.pcm2").c_str())) << std::hex << storage.m_hrLast;
    std::string body, to, cc, names, sizes;
    EXPECT_TRUE(ReadMsgProperties(storage, body, to, cc));
    EXPECT_EQ(body, "<p>펄이 쓴 본문</p>");
    EXPECT_EQ(to, "홍길동 <hong@x.kr>");
    EXPECT_EQ(cc, "");
    EXPECT_TRUE(ReadMsgFiles(storage, kMsgInlineStream, out.Path().c_str(), names, sizes));
    EXPECT_TRUE(ReadMsgFiles(storage, kMsgAttachStream, out.Path().c_str(), names, sizes));
    EXPECT_EQ(names, "photo.jpg\t결재 문서.hwp\tescape.txt\t");
    EXPECT_EQ(sizes, "5000\t70000\t1\t");
    EXPECT_EQ(testfiles::ReadAll(out / "photo.jpg"), Pattern(5000, 7));
    EXPECT_EQ(testfiles::ReadAll(out / "결재 문서.hwp"), Pattern(70000, 8));
    EXPECT_EQ(testfiles::List(out.Path()), (std::vector<std::string>{"escape.txt", "photo.jpg", "결재 문서.hwp"}));
}

TEST_F(Interop, ReadsLegacyFileOfAnotherWriter) {
    ScratchFolder out("interop-legacy");
    CMsgStorage storage;
    ASSERT_TRUE(storage.Open((m_dir + "\\perl-legacy.pcm").c_str())) << std::hex << storage.m_hrLast;
    std::string body, addresses, cc, names, sizes;
    EXPECT_TRUE(ReadLegacyProperties(storage, body, addresses, cc));
    EXPECT_EQ(body, "옛 본문");
    EXPECT_EQ(addresses, "가@x.kr; 나@y.kr; c@z.kr; ");
    EXPECT_EQ(cc, "");
    EXPECT_TRUE(ReadLegacyFiles(storage, kLegacyAttachStream, out.Path().c_str(), names, sizes));
    EXPECT_EQ(names, "옛 첨부.doc\t");
    EXPECT_EQ(sizes, "4096\t");
    EXPECT_EQ(testfiles::ReadAll(out / "옛 첨부.doc"), Pattern(4096, 9));
}

// check_ole_files.py knows these contents independently and compares every stream.
TEST_F(Interop, WritesFilesForAnotherReader) {
    ScratchFolder src("interop-src");
    ASSERT_TRUE(testfiles::WriteAll(src / "a.gif", Pattern(5000, 3)));
    ASSERT_TRUE(testfiles::WriteAll(src / "r.hwp", Pattern(100, 4)));
    ASSERT_TRUE(testfiles::WriteAll(src / "big.bin", Pattern(150000, 5)));
    ASSERT_TRUE(testfiles::WriteAll(src / "empty", ""));

    CMsgStorage worked;
    ASSERT_TRUE(worked.Create((m_dir + "\\worked.pcm2").c_str()));
    ASSERT_EQ(WriteMsgPropertyStream(worked, "a", "", {{"body", "x"}}), S_OK);
    EXPECT_EQ(worked.Close(), 0);

    CMsgStorage storage;
    ASSERT_TRUE(storage.Create((m_dir + "\\ours.pcm2").c_str()));
    ASSERT_EQ(WriteMsgPropertyStream(storage, "받는 사람 <to@x.kr>", "cc@x.kr",
                                     {{"subject", "제목"}, {"body", "<p>본문</p>"}}),
              S_OK);
    CMsgFileStreamWriter inlines(storage);
    ASSERT_EQ(inlines.Begin(kMsgInlineStream, MSGREC_INLINE), S_OK);
    ASSERT_EQ(inlines.AddFile("a.gif", (src / "a.gif").c_str()), S_OK);
    ASSERT_EQ(inlines.Finish(), S_OK);
    CMsgFileStreamWriter attachments(storage);
    ASSERT_EQ(attachments.Begin(kMsgAttachStream, MSGREC_ATTACH), S_OK);
    ASSERT_EQ(attachments.AddFile("보고서.hwp", (src / "r.hwp").c_str()), S_OK);
    ASSERT_EQ(attachments.AddFile("비어 있음.txt", (src / "empty").c_str()), S_FALSE);
    ASSERT_EQ(attachments.AddFile("큰 파일.bin", (src / "big.bin").c_str()), S_OK);
    ASSERT_EQ(attachments.Finish(), S_OK);
    EXPECT_EQ(storage.Close(), 0);
}

}  // namespace
