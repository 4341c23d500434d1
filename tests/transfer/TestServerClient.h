// The Windows tests' side of the local test server: sets its pages and reads what it
// recorded, parts as split by its own (Python e-mail package) parser.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct ServerPart {
    std::string name;
    bool hasFileName = false;
    std::string fileName;  // raw bytes as sent
    bool hasContentType = false;
    std::string contentType;
    uint64_t size = 0;
    std::string sha256;
    bool hasContent = false;  // content is kept up to 1 MiB
    std::string content;
};

struct ServerRequest {
    int seq = 0;
    std::string method, path, query;
    std::string requestLine;  // as sent, without its line end
    bool complete = false;
    uint64_t bodySize = 0;
    std::string bodySha256, parser, status;
    int connection = 0;
    std::vector<std::pair<std::string, std::string>> headers;
    std::vector<ServerPart> parts;
    std::vector<std::string> defects;

    // The first header of that name (any case); found tells whether there was one.
    std::string Header(const std::string& name, bool* found = nullptr) const;
};

class TestServerClient {
public:
    // The server's address from NVATT_TEST_SERVER; empty when the test runs without it.
    TestServerClient();
    const std::string& BaseUrl() const { return m_base; }
    std::string Url(const std::string& path) const { return m_base + path; }

    // Forgets records and pages.
    bool Reset();
    // For a fixture's SetUp: the test runs under the server (NVATT_TEST_SERVER is set) and
    // the server starts from no records and no pages.
    ::testing::AssertionResult ReadyForTest();
    // plan: the page's answer as the server's JSON plan, e.g. {"body": "OK;1"}.
    bool SetRoute(const std::string& path, const std::string& planJson);
    // Waits until count requests to path were recorded and returns all of them.
    bool Requests(const std::string& path, int count, std::vector<ServerRequest>* out,
                  double timeoutSeconds = 15);

private:
    bool Control(const char* verb, const std::string& target, const std::string& body,
                 std::string* answer, DWORD* status);
    std::string m_base;
    std::string m_host;
    WORD m_port = 0;
};

// SHA-256 in lower-case hex, as the server writes it.
std::string Sha256Hex(const std::string& bytes);
