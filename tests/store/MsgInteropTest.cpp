// Message files for a reader we did not write: writes the files olefile checks
// afterwards (check_ole_files.py), into the folder NVATT_STORE_INTEROP names (ctest sets it).
#include "store/MsgFileStreamWriter.h"
#include "store/MsgPropertyStream.h"
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
        CreateDirectoryA(m_dir.c_str(), nullptr);
    }
    std::string m_dir;
};

// check_ole_files.py knows these contents independently and compares every stream.
TEST_F(Interop, WritesFilesForAnotherReader) {
    ScratchFolder src("interop-src");
    ASSERT_TRUE(testfiles::WriteAll(src / "a.gif", Pattern(5000, 3)));
    ASSERT_TRUE(testfiles::WriteAll(src / "r.hwp", Pattern(100, 4)));
    ASSERT_TRUE(testfiles::WriteAll(src / "big.bin", Pattern(150000, 5)));
    ASSERT_TRUE(testfiles::WriteAll(src / "empty", ""));

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
