// CMsgStorage over real compound files: lifecycle, status codes, exact transfers.
#include "framework/Text.h"
#include "store/MsgStorage.h"
#include "tests/store/WinFiles.h"

#include <gtest/gtest.h>

namespace {

using testfiles::ScratchFolder;

TEST(MsgStorage, LifecycleAndStatus) {
    ScratchFolder dir("storage");
    const std::string path = dir / "a.pcm2";

    CMsgStorage storage;
    EXPECT_FALSE(storage.OpenStream("nc_local_property"));
    EXPECT_EQ(storage.m_hrLast, CMsgStorage::kNoOpenFile);
    EXPECT_FALSE(storage.CreateStream("nc_local_property"));
    EXPECT_EQ(storage.m_hrLast, CMsgStorage::kNoOpenFile);

    EXPECT_FALSE(storage.Open(path.c_str()));
    EXPECT_EQ(storage.m_hrLast, STG_E_FILENOTFOUND);
    EXPECT_FALSE(storage.m_pRoot);

    ASSERT_TRUE(storage.Create(path.c_str()));
    {
        // Created exclusively: nobody else opens it meanwhile.
        CMsgStorage other;
        EXPECT_FALSE(other.Open(path.c_str()));
        EXPECT_TRUE(FAILED(other.m_hrLast));
    }
    EXPECT_EQ(storage.Close(), 0);
    EXPECT_FALSE(storage.m_pRoot);

    ASSERT_TRUE(storage.Open(path.c_str()));
    {
        // Opened deny-write: another reader is fine, a writer is not.
        CMsgStorage reader;
        EXPECT_TRUE(reader.Open(path.c_str()));
        CMsgStorage writer;
        EXPECT_FALSE(writer.Create(path.c_str()));
        EXPECT_TRUE(FAILED(writer.m_hrLast));
    }
    EXPECT_FALSE(storage.CreateStream("x")) << "read-only file";
    EXPECT_TRUE(FAILED(storage.m_hrLast));
}

TEST(MsgStorage, ReuseForASecondFileReleasesTheFirst) {
    ScratchFolder dir("reuse");
    const std::string first = dir / "1.pcm2", second = dir / "2.pcm2";
    CMsgStorage storage;
    ASSERT_TRUE(storage.Create(first.c_str()));
    ASSERT_TRUE(storage.Create(second.c_str()));
    CMsgStorage probe;
    EXPECT_TRUE(probe.Open(first.c_str())) << "first file still held";
    probe.Close();
    EXPECT_EQ(storage.Close(), 0);
    EXPECT_TRUE(probe.Open(second.c_str())) << "second file still held after Close";
    probe.Close();
    {
        CMsgStorage scoped;
        ASSERT_TRUE(scoped.Create(first.c_str()));
    }
    EXPECT_TRUE(probe.Open(first.c_str())) << "destructor did not release";
}

TEST(MsgStorage, NamesThatDoNotConvertNeverReachThePlatform) {
    ScratchFolder dir("names");
    CMsgStorage storage;
    std::wstring wide;
    EXPECT_EQ(storage.ToWide("한글", wide), 3);
    EXPECT_EQ(wide, L"한글");
    EXPECT_EQ(storage.ToWide("", wide), 1);
    EXPECT_EQ(wide, L"");

    const std::string broken = dir / "bad\x81";  // a lead byte without its trail byte
    storage.m_hrLast = S_OK;
    EXPECT_EQ(storage.ToWide(broken.c_str(), wide), 0);
    EXPECT_EQ(storage.m_hrLast, CMsgStorage::kNameNotConverted);
    storage.m_hrLast = S_OK;
    EXPECT_FALSE(storage.Create(broken.c_str()));
    EXPECT_EQ(storage.m_hrLast, CMsgStorage::kNameNotConverted);
    EXPECT_EQ(testfiles::List(dir.Path()).size(), 0u);

    ASSERT_TRUE(storage.Create((dir / "한글 메일.pcm2").c_str()));
    EXPECT_EQ(testfiles::List(dir.Path()), std::vector<std::string>{"한글 메일.pcm2"});
    EXPECT_NE(GetFileAttributesW((fw::AnsiToWide(dir.Path()) + L"\\한글 메일.pcm2").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the name reached the file system as UTF-16 of code page 949";
    EXPECT_FALSE(storage.CreateStream("\x81"));
    EXPECT_EQ(storage.m_hrLast, CMsgStorage::kNameNotConverted);
    EXPECT_FALSE(storage.OpenStream("\x81"));
    EXPECT_EQ(storage.m_hrLast, CMsgStorage::kNameNotConverted);
}

TEST(MsgStorage, TransfersMoveExactlyTheRequestedBytes) {
    ScratchFolder dir("transfer");
    const std::string path = dir / "t.pcm2";
    CMsgStorage storage;
    ASSERT_TRUE(storage.Create(path.c_str()));
    {
        fw::ComPtr<IStream> stream = storage.CreateStream("s");
        ASSERT_TRUE(stream);
        DWORD value = 0x01020304;
        EXPECT_TRUE(storage.WriteDword(stream.get(), &value));
        EXPECT_TRUE(storage.WriteText(stream.get(), "텍스트"));
        EXPECT_TRUE(storage.WriteBytes(stream.get(), "\0\x7F", 2));
        EXPECT_FALSE(storage.WriteBytes(nullptr, "x", 1));
    }
    storage.Close();

    ASSERT_TRUE(storage.Open(path.c_str()));
    fw::ComPtr<IStream> stream = storage.OpenStream("s");
    ASSERT_TRUE(stream);
    EXPECT_FALSE(storage.OpenStream("s")) << "streams are opened exclusively";
    DWORD value = 0;
    EXPECT_EQ(storage.ReadDword(stream.get(), &value), 4u);
    EXPECT_EQ(value, 0x01020304u);
    char text[7] = {};
    EXPECT_EQ(storage.ReadBytes(stream.get(), text, 6), 6u);
    EXPECT_EQ(std::string(text, 6), "텍스트");
    char rest[4] = {};
    EXPECT_EQ(storage.ReadBytes(stream.get(), rest, 4), 0u) << "two bytes left: a short read fails";
    EXPECT_EQ(storage.m_hrLast, S_OK) << "the platform itself reported success";
    EXPECT_FALSE(storage.WriteBytes(stream.get(), "x", 1)) << "stream opened for reading";
    EXPECT_TRUE(FAILED(storage.m_hrLast));
}

}  // namespace
