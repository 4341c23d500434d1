// The Windows tests' side of the local test server: sets its pages and reads what it
// recorded, parts as split by its own (Python e-mail package) parser.
#include "TestServerClient.h"

#include "framework/UniqueHandle.h"

#include <bcrypt.h>
#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

std::string FromHex(const std::string& token, bool* present) {
    *present = token != "-";
    std::string out;
    if (!*present || token.empty() || token[0] != 'x') return out;
    for (size_t i = 1; i + 1 < token.size(); i += 2) {
        out += static_cast<char>(std::strtoul(token.substr(i, 2).c_str(), nullptr, 16));
    }
    return out;
}

std::string FromHex(const std::string& token) {
    bool present;
    return FromHex(token, &present);
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && _strnicmp(a.c_str(), b.c_str(), a.size()) == 0;
}

}  // namespace

std::string ServerRequest::Header(const std::string& name, bool* found) const {
    for (const auto& [k, v] : headers) {
        if (EqualsNoCase(k, name)) {
            if (found) *found = true;
            return v;
        }
    }
    if (found) *found = false;
    return std::string();
}

TestServerClient::TestServerClient() {
    const char* base = std::getenv("NVATT_TEST_SERVER");
    if (!base || !*base) return;
    m_base = base;
    size_t hostStart = m_base.find("://");
    hostStart = hostStart == std::string::npos ? 0 : hostStart + 3;
    size_t colon = m_base.find(':', hostStart);
    m_host = m_base.substr(hostStart, colon - hostStart);
    m_port = static_cast<WORD>(std::atoi(m_base.c_str() + colon + 1));
}

bool TestServerClient::Control(const char* verb, const std::string& target, const std::string& body,
                               std::string* answer, DWORD* status) {
    fw::UniqueHInternet session(InternetOpenA("nvatt-test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session) return false;
    fw::UniqueHInternet connection(InternetConnectA(session.get(), m_host.c_str(), m_port, nullptr, nullptr,
                                                    INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return false;
    fw::UniqueHInternet request(HttpOpenRequestA(connection.get(), verb, target.c_str(), nullptr, nullptr,
                                                 nullptr, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request) return false;
    if (!HttpSendRequestA(request.get(), nullptr, 0, const_cast<char*>(body.data()),
                          static_cast<DWORD>(body.size()))) {
        return false;
    }
    DWORD length = sizeof(*status);
    if (!HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, status, &length, nullptr)) {
        return false;
    }
    answer->clear();
    char buffer[65536];
    for (DWORD got; InternetReadFile(request.get(), buffer, sizeof(buffer), &got) && got > 0;) {
        answer->append(buffer, got);
    }
    return true;
}

bool TestServerClient::Reset() {
    std::string answer;
    DWORD status = 0;
    return Control("POST", "/__nvatt/reset", "", &answer, &status) && status == 200;
}

::testing::AssertionResult TestServerClient::ReadyForTest() {
    if (m_base.empty())
        return ::testing::AssertionFailure()
               << "NVATT_TEST_SERVER is not set: run through server/nvatt_server.py (ctest does)";
    if (!Reset()) return ::testing::AssertionFailure() << "the test server at " << m_base << " did not reset";
    return ::testing::AssertionSuccess();
}

bool TestServerClient::SetRoute(const std::string& path, const std::string& planJson) {
    std::string answer;
    DWORD status = 0;
    return Control("POST", "/__nvatt/route?path=" + path, planJson, &answer, &status) && status == 200;
}

bool TestServerClient::Requests(const std::string& path, int count, std::vector<ServerRequest>* out,
                                double timeoutSeconds) {
    out->clear();
    std::string answer;
    DWORD status = 0;
    std::string target = "/__nvatt/requests?path=" + path + "&count=" + std::to_string(count) +
                         "&timeout=" + std::to_string(timeoutSeconds);
    if (!Control("GET", target, "", &answer, &status) || status != 200) return false;

    std::istringstream lines(answer);
    std::string line;
    ServerRequest* current = nullptr;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "request") {
            out->emplace_back();
            current = &out->back();
            std::string method, reqPath, query, complete, status_, connection;
            words >> current->seq >> method >> reqPath >> query >> complete >> current->bodySize >>
                current->bodySha256 >> current->parser >> status_ >> connection;
            current->method = FromHex(method);
            current->path = FromHex(reqPath);
            current->query = FromHex(query);
            current->complete = complete == "1";
            current->status = status_;
            current->connection = std::atoi(connection.c_str());
        } else if (!current) {
            return false;
        } else if (kind == "line") {
            std::string line;
            words >> line;
            current->requestLine = FromHex(line);
        } else if (kind == "header") {
            std::string k, v;
            words >> k >> v;
            current->headers.emplace_back(FromHex(k), FromHex(v));
        } else if (kind == "part") {
            ServerPart part;
            std::string name, fileName, type, content;
            words >> name >> fileName >> type >> part.size >> part.sha256 >> content;
            part.name = FromHex(name);
            part.fileName = FromHex(fileName, &part.hasFileName);
            part.contentType = FromHex(type, &part.hasContentType);
            part.content = FromHex(content, &part.hasContent);
            current->parts.push_back(part);
        } else if (kind == "defect") {
            std::string text;
            words >> text;
            current->defects.push_back(FromHex(text));
        }
    }
    return true;
}

std::string Sha256Hex(const std::string& bytes) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    unsigned char digest[32] = {};
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return "";
    bool ok = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0 &&
              BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                             static_cast<ULONG>(bytes.size()), 0) == 0 &&
              BCryptFinishHash(hash, digest, sizeof(digest), 0) == 0;
    if (hash) BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!ok) return "";
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char b : digest) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}
