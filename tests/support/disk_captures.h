// Saved LIST DISK captures, laid out as DiskPart lays them out, and saved
// the ways Windows saves them.
#pragma once

#include <map>
#include <string>

// LIST DISK's header and its ruler.
extern const char disk_header[];

// One row; "*" in Dyn unless `dyn` says otherwise, and always GPT.
std::string disk_row(const std::string &disk, const std::string &status,
                     const std::string &size, const std::string &free,
                     const std::string &dyn = "*");

// Disks 0 to 3, online, dynamic, 100 GB free, but for the rows given; rows
// past 3 follow them.
std::string capture(std::map<int, std::string> rows = {});

std::string with_crlf(const std::string &text);

// As Windows PowerShell 5.1's ">" saves it, for ASCII text.
std::string utf16le(const std::string &text);
