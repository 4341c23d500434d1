// The four readers of message files: properties and files of the current generation,
// properties and attachments of the legacy one.
#pragma once

#include "store/MsgStorage.h"

#include <string>
#include <vector>

// Each reads one stream of an open storage and never writes into the message file. The
// out strings are appended to or replaced as their record says; on FALSE they keep what
// the records before the failure gave them, and files already extracted stay on disk.

// "nc_local_property" into body, To and Cc. FALSE also when the stream is missing.
BOOL ReadMsgProperties(CMsgStorage& storage, std::string& body, std::string& to, std::string& cc);
// "_vxLocalproperty": To and Cc arrive merged in addresses; cc is left as passed.
BOOL ReadLegacyProperties(CMsgStorage& storage, std::string& body, std::string& addresses, std::string& cc);
// "nc_local_inline" or "nc_local_attach" (ReadMsgFiles) and "_vxLocalAttach"
// (ReadLegacyFiles): extracts every file into folder and appends its name and a tab to
// names, its decimal length and a tab to sizes. A missing stream is TRUE with nothing
// extracted. A stored name with a folder, drive or device part is extracted under its
// bare name without those parts (listed so), and one with nothing usable left is skipped.
// A file that cannot be created or written there (a same-named file held open, a name
// not valid in the code page) is left out, and its name and a tab go to skipped; the rest
// is read. A null or empty folder is FALSE.
BOOL ReadMsgFiles(CMsgStorage& storage, const char* streamName, const char* folder, std::string& names,
                  std::string& sizes, std::string* skipped = nullptr);
BOOL ReadLegacyFiles(CMsgStorage& storage, const char* streamName, const char* folder, std::string& names,
                     std::string& sizes, std::string* skipped = nullptr);

// A message file of the current generation opened whole, as the start-up restore and the
// body import take it: its properties, its inline images extracted into folder with every
// occurrence of their names in the body replaced by folder "\" name (in one pass; a
// folder that ends in a backslash gives two, which the file system takes), then
// its attachments extracted there too, their paths appended to attachments. FALSE as soon
// as one reader fails; what was extracted stays.
BOOL ReadMsgIntoFolder(CMsgStorage& storage, const std::string& folder, std::string& body, std::string& to,
                       std::string& cc, std::vector<std::string>& attachments, std::string* skipped = nullptr);
