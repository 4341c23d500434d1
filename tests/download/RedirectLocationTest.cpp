// The redirect target as read from raw response headers.
#include <gtest/gtest.h>

#include "download/RedirectLocation.h"

namespace {

TEST(RedirectLocation, ReadsTheLocationLineAsTheServerPagesExpect) {
    struct Case {
        const char* headers;
        bool found;
        const char* location;
    } cases[] = {
        // The carriage return of a CR LF line end stays: the next request asks for it.
        {"HTTP/1.1 302 Found\r\nLocation: http://h/b.pcm2\r\nContent-Length: 0\r\n\r\n", true, "http://h/b.pcm2\r"},
        {"HTTP/1.1 302 Found\nLocation: http://h/b\nX: y\n", true, "http://h/b"},
        // The line feed is looked for after the first character only.
        {"HTTP/1.1 302 Found\r\nLocation: \nhttp://h/c\r\n", true, "\nhttp://h/c\r"},
        {"HTTP/1.1 302 Found\r\nLocation: http://h/last", true, "http://h/last"},
        {"HTTP/1.1 302 Found\r\nLocation: ", true, ""},
        // Without a location the text starts 9 characters in, as from position -1.
        {"HTTP/1.1 302 Found\r\nServer: x\r\n", false, "302 Found\r"},
        {"short", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.headers);
        bool found = !c.found;
        EXPECT_EQ(RedirectLocation(c.headers, &found), c.location);
        EXPECT_EQ(found, c.found);
    }
}

}  // namespace
