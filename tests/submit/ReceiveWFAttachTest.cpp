// ReceiveWFAttach against the local test server: the query it sends and the file it leaves.
#include "DownloadTestSupport.h"
#include "TestServerClient.h"

#include "submit/ReceiveWFAttach.h"

#include <gtest/gtest.h>

namespace {

TEST(ReceiveWFAttach, SendsTheEncodedQueryAndKeepsTheFile) {
    TestServerClient server;
    ASSERT_TRUE(server.ReadyForTest());
    const std::string path = TempFolder() + "nvatt-wfattach.bin";
    ASSERT_TRUE(server.SetRoute("/wf/WFAttach.asp", R"({"generate": 300000})"));
    EXPECT_EQ(ReceiveWFAttach(nullptr, server.Url("/wf/"), std::string("\x01\xAB\x00\xFF", 4), false, "a b한.doc", path),
              S_OK);
    EXPECT_TRUE(ReadWholeFile(path) == GeneratedBytes(0, 300000));
    EXPECT_EQ(ReceiveWFAttach(nullptr, server.Url("/wf/"), "wf-7", true, "x", path), S_OK);
    std::vector<ServerRequest> requests;
    ASSERT_TRUE(server.Requests("/wf/WFAttach.asp", 2, &requests));
    EXPECT_EQ(requests[0].query, "ID=01AB00FF&FileName=a%20b%C7%D1%2Edoc");
    EXPECT_EQ(requests[1].query, "ID=wf%2D7&FileName=x");
    DeleteFileA(path.c_str());
}

}  // namespace
