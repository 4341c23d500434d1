// Writing and reading whole message files under Windows: the writers' streams, the
// four readers, extraction into a folder and nothing outside it.
#include "framework/Text.h"
#include "store/MsgFileStreamWriter.h"
#include "store/MsgPropertyStream.h"
#include "store/MsgReaders.h"
#include "store/MsgRecordTags.h"
#include "store/MsgStorage.h"
#include "tests/store/RecordBytes.h"
#include "tests/store/WinFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

using testfiles::ScratchFolder;

std::string Pattern(size_t size, int seed) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 31 + seed) % 253);
    return data;
}

// Writes streams of hand-assembled bytes, as an older or foreign writer would have.
void WriteRawFile(const std::string& path, const std::map<std::string, std::string>& streams) {
    CMsgStorage storage;
    ASSERT_TRUE(storage.Create(path.c_str()));
    for (const auto& [name, bytes] : streams) {
        fw::ComPtr<IStream> stream = storage.CreateStream(name.c_str());
        ASSERT_TRUE(stream) << name;
        ASSERT_TRUE(bytes.empty() || storage.WriteBytes(stream.get(), bytes.data(), static_cast<ULONG>(bytes.size())));
    }
}

// Every element under the root with its bytes, read with the platform's own storage
// calls rather than our readers.
std::map<std::string, std::string> PlatformView(const std::string& path) {
    std::map<std::string, std::string> streams;
    fw::ComPtr<IStorage> root;
    if (FAILED(StgOpenStorage(fw::AnsiToWide(path).c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0,
                              root.put())))
        return streams;
    fw::ComPtr<IEnumSTATSTG> elements;
    if (FAILED(root->EnumElements(0, nullptr, 0, elements.put()))) return streams;
    STATSTG stat;
    while (elements->Next(1, &stat, nullptr) == S_OK) {
        std::string name = fw::WideToAnsi(stat.pwcsName);
        fw::ComPtr<IStream> stream;
        if (stat.type == STGTY_STREAM &&
            SUCCEEDED(root->OpenStream(stat.pwcsName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put()))) {
            std::string bytes(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
            ULONG read = 0;
            if (!bytes.empty()) stream->Read(&bytes[0], static_cast<ULONG>(bytes.size()), &read);
            streams[name] = bytes.substr(0, read);
        } else {
            streams[name] = "<not a stream>";
        }
        CoTaskMemFree(stat.pwcsName);
    }
    return streams;
}

TEST(MsgFile, EveryRecordKindRoundTrips) {
    ScratchFolder dir("roundtrip");
    CreateDirectoryA((dir / "out").c_str(), nullptr);
    const std::string image = Pattern(1234, 1), report = "한글 보고서 내용", big = Pattern(700 * 1024 + 7, 2);
    ASSERT_TRUE(testfiles::WriteAll(dir / "image.gif", image));
    ASSERT_TRUE(testfiles::WriteAll(dir / "보고서.hwp", report));
    ASSERT_TRUE(testfiles::WriteAll(dir / "empty.txt", ""));
    ASSERT_TRUE(testfiles::WriteAll(dir / "big.bin", big));
    const std::string body = "<p>안녕하세요 <img src=\"image.gif\"></p>";
    const std::vector<MsgReplyField> fields = {{"subject", "제목"}, {"KEYWORDS", "키워드"}, {"Body", body}};

    const std::string path = dir / "메일.pcm2";
    {
        CMsgStorage storage;
        ASSERT_TRUE(storage.Create(path.c_str()));
        ASSERT_EQ(WriteMsgPropertyStream(storage, "김철수 <kim@x.kr>", "", fields), S_OK);
        CMsgFileStreamWriter inlines(storage);
        ASSERT_EQ(inlines.Begin(kMsgInlineStream, MSGREC_INLINE), S_OK);
        EXPECT_EQ(inlines.AddFile("image.gif", (dir / "image.gif").c_str()), S_OK);
        ASSERT_EQ(inlines.Finish(), S_OK);
        CMsgFileStreamWriter attachments(storage);
        ASSERT_EQ(attachments.Begin(kMsgAttachStream, MSGREC_ATTACH), S_OK);
        EXPECT_EQ(attachments.AddFile("보고서.hwp", (dir / "보고서.hwp").c_str()), S_OK);
        EXPECT_EQ(attachments.AddFile("empty.txt", (dir / "empty.txt").c_str()), S_FALSE);
        EXPECT_EQ(attachments.AddFile("", (dir / "big.bin").c_str()), E_INVALIDARG);
        EXPECT_EQ(attachments.AddFile("gone.txt", (dir / "gone.txt").c_str()), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(attachments.AddFile("big.bin", (dir / "big.bin").c_str()), S_OK);
        ASSERT_EQ(attachments.Finish(), S_OK);
        EXPECT_EQ(storage.Close(), 0);
    }

    const std::map<std::string, std::string> expected = {
        {"nc_local_property",
         RecordBytes().Header().Text(MSGREC_TO, "김철수 <kim@x.kr>").Text(MSGREC_CC, "").Text(MSGREC_KEYWORDS, "키워드")
             .Text(MSGREC_BODY, body).Text(MSGREC_FIELDS, "subject\x08제목\x7FKEYWORDS\x08키워드\x7F" "Body\x08" + body + "\x7F")
             .Dword(MSGREC_END).str()},
        {"nc_local_inline", RecordBytes().Header().File(MSGREC_INLINE, "image.gif", image).Dword(MSGREC_END).str()},
        {"nc_local_attach", RecordBytes().Header().File(MSGREC_ATTACH, "보고서.hwp", report)
             .File(MSGREC_ATTACH, "big.bin", big).Dword(MSGREC_END).str()},
    };
    EXPECT_EQ(PlatformView(path), expected);

    CMsgStorage storage;
    ASSERT_TRUE(storage.Open(path.c_str()));
    std::string readBody, to, cc = "untouched";
    EXPECT_TRUE(ReadMsgProperties(storage, readBody, to, cc));
    EXPECT_EQ(readBody, body);
    EXPECT_EQ(to, "김철수 <kim@x.kr>");
    EXPECT_EQ(cc, "untouched") << "a zero-length Cc leaves what the caller passed";

    const std::string out = dir / "out";
    std::string names, sizes;
    EXPECT_TRUE(ReadMsgFiles(storage, kMsgInlineStream, out.c_str(), names, sizes));
    EXPECT_EQ(names, "image.gif\t");
    EXPECT_EQ(sizes, "1234\t");
    names.clear();
    sizes.clear();
    EXPECT_TRUE(ReadMsgFiles(storage, kMsgAttachStream, (out + "\\").c_str(), names, sizes));
    EXPECT_EQ(names, "보고서.hwp\tbig.bin\t");
    EXPECT_EQ(sizes, std::to_string(report.size()) + "\t" + std::to_string(big.size()) + "\t");
    EXPECT_EQ(testfiles::List(out), (std::vector<std::string>{"big.bin", "image.gif", "보고서.hwp"}));
    EXPECT_EQ(testfiles::ReadAll(out + "\\image.gif"), image);
    EXPECT_EQ(testfiles::ReadAll(out + "\\big.bin"), big);
    EXPECT_EQ(testfiles::ReadAll(out + "\\보고서.hwp"), report);
    EXPECT_NE(GetFileAttributesW((fw::AnsiToWide(out) + L"\\보고서.hwp").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Content that cannot be read to its end leaves no half record: the stream is cut back
// and takes the next file as if the failed one had never been tried.
TEST(MsgFile, ContentThatFailsMidwayIsLeftOut) {
    class FailingSource : public CMsgByteSource {
    public:
        bool Read(void* buffer, uint32_t length) override {
            if (m_left < length) return false;
            std::memset(buffer, 'z', length);
            m_left -= length;
            return true;
        }
        uint32_t m_left = 200 * 1024;
    };
    ScratchFolder dir("midway");
    ASSERT_TRUE(testfiles::WriteAll(dir / "after.txt", "after"));
    const std::string path = dir / "m.pcm2";
    {
        CMsgStorage storage;
        ASSERT_TRUE(storage.Create(path.c_str()));
        CMsgFileStreamWriter attachments(storage);
        ASSERT_EQ(attachments.Begin(kMsgAttachStream, MSGREC_ATTACH), S_OK);
        FailingSource failing;
        EXPECT_EQ(attachments.AddContent("short.bin", 300 * 1024, failing), HRESULT_FROM_WIN32(ERROR_READ_FAULT));
        EXPECT_EQ(attachments.AddFile("after.txt", (dir / "after.txt").c_str()), S_OK);
        ASSERT_EQ(attachments.Finish(), S_OK);
    }
    EXPECT_EQ(PlatformView(path), (std::map<std::string, std::string>{
                                      {"nc_local_attach", RecordBytes().Header().File(MSGREC_ATTACH, "after.txt", "after")
                                                              .Dword(MSGREC_END).str()}}));
}

TEST(MsgFile, MissingStreams) {
    ScratchFolder dir("missing");
    const std::string onlyAttach = dir / "a.pcm2", onlyProperty = dir / "p.pcm2";
    WriteRawFile(onlyAttach, {{kMsgAttachStream, RecordBytes().Header().File(MSGREC_ATTACH, "a", "A").Dword(MSGREC_END).str()}});
    WriteRawFile(onlyProperty, {{kMsgPropertyStream, RecordBytes().Header().Text(MSGREC_TO, "").Text(MSGREC_CC, "").Dword(MSGREC_END).str()}});

    CMsgStorage storage;
    std::string body = "b", to = "t", cc = "c", names, sizes;
    EXPECT_FALSE(ReadMsgFiles(storage, kMsgAttachStream, dir.Path().c_str(), names, sizes)) << "no open file";
    ASSERT_TRUE(storage.Open(onlyAttach.c_str()));
    EXPECT_FALSE(ReadMsgProperties(storage, body, to, cc));
    EXPECT_EQ(body + to + cc, "btc");
    EXPECT_FALSE(ReadLegacyProperties(storage, body, to, cc));
    EXPECT_EQ(body + to + cc, "btc");
    EXPECT_TRUE(ReadMsgFiles(storage, kMsgInlineStream, dir.Path().c_str(), names, sizes));
    EXPECT_EQ(names + sizes, "");
    EXPECT_FALSE(ReadMsgFiles(storage, kMsgAttachStream, nullptr, names, sizes)) << "no folder";

    ASSERT_TRUE(storage.Open(onlyProperty.c_str()));
    body.clear(), to.clear(), cc.clear();
    EXPECT_TRUE(ReadMsgProperties(storage, body, to, cc));
    EXPECT_EQ(body + to + cc, "");
    EXPECT_TRUE(ReadMsgFiles(storage, kMsgAttachStream, dir.Path().c_str(), names, sizes));
    EXPECT_TRUE(ReadLegacyFiles(storage, kLegacyAttachStream, dir.Path().c_str(), names, sizes));
    EXPECT_EQ(names + sizes, "");
    EXPECT_EQ(testfiles::List(dir.Path()), (std::vector<std::string>{"a.pcm2", "p.pcm2"}));
}

}  // namespace
