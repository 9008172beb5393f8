#include "disk_captures.h"

#include <cstdio>

const char disk_header[] =
    "  Disk ###  Status         Size     Free     Dyn  Gpt\n"
    "  --------  -------------  -------  -------  ---  ---\n";

std::string disk_row(const std::string &disk, const std::string &status,
                     const std::string &size, const std::string &free,
                     const std::string &dyn) {
  char row[160];
  std::snprintf(row, sizeof row, "  %-8s  %-13s  %7s  %7s  %-3s  *\n",
                disk.c_str(), status.c_str(), size.c_str(), free.c_str(),
                dyn.c_str());
  return row;
}

std::string capture(std::map<int, std::string> rows) {
  for (int disk = 0; disk < 4; ++disk)
    rows.emplace(disk, disk_row("Disk " + std::to_string(disk), "Online",
                                "100 GB", "100 GB"));
  std::string table = disk_header;
  for (const auto &[disk, row] : rows)
    table += row;
  return table;
}

std::string with_crlf(const std::string &text) {
  std::string crlf;
  for (const char c : text)
    crlf += c == '\n' ? "\r\n" : std::string(1, c);
  return crlf;
}

std::string utf16le(const std::string &text) {
  std::string bytes = "\xFF\xFE";
  for (const char c : text)
    bytes += std::string(1, c) + '\0';
  return bytes;
}
