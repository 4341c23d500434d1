// The record behind every row of the attachment list and the file list.
#pragma once

#include <string>

struct AttachItem {
    virtual ~AttachItem() = default;

    // A name that begins with a space is an attachment on the server: the space, the
    // file name and a size suffix in parentheses. Any other name is a local path.
    std::string name;
    int size = 0;     // bytes added up by the upload's size check
    int isLocal = 0;  // 1: a file on this computer that goes out with the message
    int encrypt = 0;  // 1: the user asked for password protection of this file
};
