// The bytes the upload encoder puts on the wire, and the boundary watch over file contents.
#include "transfer/BoundaryScanner.h"
#include "transfer/MultipartForm.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

const std::string kBoundary = "----NvAttFormBoundary00112233445566778899aabbccddeeff";

// What the uploader would send: literal segments as they are, file segments from contents.
std::string Render(const std::vector<BodySegment>& segments,
                   const std::map<int, std::string>& contents) {
    std::string body;
    for (const BodySegment& s : segments) body += s.filePart >= 0 ? contents.at(s.filePart) : s.bytes;
    return body;
}

TEST(MultipartForm, SmallFormExactBytes) {
    CMultipartForm form;
    form.AddField("subject", "회의 \"자료\"");
    form.AddFile("my_file1", "C:\\문서\\보고서 \"최종\".hwp");
    form.AddField("na\"me\r\n", "line1\r\nline2");
    form.AddFile("my_file2", "D:/tmp/empty");
    form.AddField("FILECOUNTER", "2");

    using namespace std::string_literals;
    const std::string file1 = "HWP\r\n--\0\xff\0"s;
    std::vector<uint64_t> sizes = {0, file1.size(), 0, 0, 0};
    std::vector<BodySegment> segments;
    ASSERT_TRUE(form.Layout(kBoundary, sizes, &segments));

    const std::string expected =
        "--" + kBoundary + "\r\n"
        "Content-Disposition: form-data; name=\"subject\"\r\n"
        "\r\n"
        "회의 \"자료\"\r\n"
        "--" + kBoundary + "\r\n"
        "Content-Disposition: form-data; name=\"my_file1\"; filename=\"보고서 %22최종%22.hwp\"\r\n"
        "Content-Type: application/x-hwp\r\n"
        "\r\n" + file1 + "\r\n"
        "--" + kBoundary + "\r\n"
        "Content-Disposition: form-data; name=\"na%22me%0D%0A\"\r\n"
        "\r\n"
        "line1\r\nline2\r\n"
        "--" + kBoundary + "\r\n"
        "Content-Disposition: form-data; name=\"my_file2\"; filename=\"empty\"\r\n"
        "Content-Type: application/octet-stream\r\n"
        "\r\n"
        "\r\n"
        "--" + kBoundary + "\r\n"
        "Content-Disposition: form-data; name=\"FILECOUNTER\"\r\n"
        "\r\n"
        "2\r\n"
        "--" + kBoundary + "--\r\n";
    std::string body = Render(segments, {{1, file1}, {3, ""}});
    EXPECT_EQ(body, expected);
    EXPECT_EQ(CMultipartForm::ContentLength(segments), expected.size());
    EXPECT_EQ(CMultipartForm::ContentType(kBoundary), "multipart/form-data; boundary=" + kBoundary);

    // The Korean file name travels as its CP949 bytes: 보 is BA B8, 고 is B0 ED.
    EXPECT_NE(body.find("filename=\"\xba\xb8\xb0\xed"), std::string::npos);
}

TEST(MultipartForm, FileSizesAreTakenAsGivenAndCountedInTheLength) {
    CMultipartForm form;
    form.AddFile("big", "C:\\x\\movie.avi");
    std::vector<BodySegment> segments;
    const uint64_t kSize = 5ull << 30;  // beyond 32 bits
    ASSERT_TRUE(form.Layout(kBoundary, {kSize}, &segments));
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[1].filePart, 0);
    EXPECT_EQ(segments[1].fileSize, kSize);
    EXPECT_EQ(CMultipartForm::ContentLength(segments),
              kSize + segments[0].bytes.size() + segments[2].bytes.size());
}

TEST(MultipartForm, EmptyFormIsOnlyTheClosingDelimiter) {
    CMultipartForm form;
    std::vector<BodySegment> segments;
    ASSERT_TRUE(form.Layout(kBoundary, {}, &segments));
    EXPECT_EQ(Render(segments, {}), "--" + kBoundary + "--\r\n");
}

TEST(MultipartForm, RefusesABoundaryThatOccursInTheText) {
    struct Case {
        const char* what;
        bool isFile;
        std::string name, value;
    };
    const Case cases[] = {
        {"text value", false, "a", "x\r\n--" + kBoundary + "\r\ny"},
        {"value without dashes", false, "a", kBoundary},
        {"part name", false, "n" + kBoundary, "v"},
        {"file name", true, "f", "C:\\" + kBoundary + ".txt"},
    };
    for (const Case& c : cases) {
        CMultipartForm form;
        form.AddField("ok", "fine");
        if (c.isFile) form.AddFile(c.name, c.value); else form.AddField(c.name, c.value);
        std::vector<BodySegment> segments = {BodySegment{"stale", -1, 0}};
        EXPECT_FALSE(form.Layout(kBoundary, {0, 0}, &segments)) << c.what;
        EXPECT_TRUE(segments.empty()) << c.what;
    }
    // The folder of a path is never sent, so it may hold anything.
    CMultipartForm form;
    form.AddFile("f", "C:\\" + kBoundary + "\\a.txt");
    std::vector<BodySegment> segments;
    EXPECT_TRUE(form.Layout(kBoundary, {3}, &segments));
    // A size list that does not match the parts is a caller's error, not a form to send.
    EXPECT_FALSE(form.Layout(kBoundary, {}, &segments));
}

TEST(MultipartForm, NamesAndTypes) {
    const std::pair<const char*, const char*> bare[] = {
        {"\\\\server\\share\\표.xlsx", "표.xlsx"},
        {"D:/unix/style.pdf", "style.pdf"},
        {"C:report.doc", "report.doc"},
        {"plain", "plain"},
        {"C:\\dir\\", ""},
    };
    for (const auto& [path, name] : bare) EXPECT_EQ(CMultipartForm::BareFileName(path), name) << path;

    // The type goes by the last extension in any letter case; the table itself is the code's.
    const std::pair<const char*, const char*> types[] = {
        {"A.TXT", "text/plain"}, {"b.JpG", "image/jpeg"}, {"noext", "application/octet-stream"},
        {"trailing.", "application/octet-stream"}, {"a.txt.exe", "application/octet-stream"},
        {"tx", "application/octet-stream"},
    };
    for (const auto& [name, type] : types) EXPECT_STREQ(CMultipartForm::FileContentType(name), type) << name;
}

TEST(MultipartForm, BoundariesDifferWithTheirRandomBytes) {
    uint8_t a[CMultipartForm::kBoundaryRandomBytes] = {};
    uint8_t b[CMultipartForm::kBoundaryRandomBytes] = {};
    b[15] = 0xA5;
    std::string ba = CMultipartForm::MakeBoundary(a), bb = CMultipartForm::MakeBoundary(b);
    EXPECT_NE(ba, bb);
    // RFC 2046 allows at most 70 characters, and a token needs no quoting.
    EXPECT_LE(ba.size(), 70u);
    EXPECT_EQ(ba.find_first_of(" ()<>@,;:\\\"/[]?="), std::string::npos);
}

TEST(BoundaryScanner, FindsTheNeedleWhereverThePiecesSplitIt) {
    const std::string needle = "--" + kBoundary;
    std::mt19937 rng(5);
    std::string noise(20000, '\0');
    for (char& c : noise) c = static_cast<char>(rng());
    struct Case {
        const char* what;
        std::string stream;
        bool found;
    };
    const Case cases[] = {
        {"noise", noise, false},
        {"near miss", noise + needle.substr(0, needle.size() - 1) + "x" + noise, false},
        {"needle at the start", needle + noise, true},
        {"needle in the middle", noise + needle + noise, true},
        {"needle at the end", noise + needle, true},
        {"needle alone", needle, true},
        {"overlapping prefix", noise + "--" + needle, true},
    };
    for (const Case& c : cases) {
        for (size_t piece : {size_t(1), size_t(7), needle.size() - 1, needle.size(), size_t(4096),
                             size_t(262144)}) {
            CBoundaryScanner scanner(needle);
            bool found = false;
            for (size_t at = 0; at < c.stream.size(); at += piece) {
                found = scanner.Feed(c.stream.data() + at, std::min(piece, c.stream.size() - at));
            }
            EXPECT_EQ(found, c.found) << c.what << ", pieces of " << piece;
            EXPECT_EQ(scanner.Found(), c.found) << c.what << ", pieces of " << piece;
        }
    }
    CBoundaryScanner scanner(needle);
    ASSERT_TRUE(scanner.Feed(needle.data(), needle.size()));
    scanner.Reset();
    EXPECT_FALSE(scanner.Found());
    EXPECT_FALSE(scanner.Feed(needle.data() + 1, needle.size() - 1));
}

}  // namespace
