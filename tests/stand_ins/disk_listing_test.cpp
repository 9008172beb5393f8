#include "disk_captures.h"
#include "disk_listing.h"
#include "diskpart_session.h"
#include "expected_run.h"
#include "temp_folder.h"
#include "verdict_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

using stand_ins::Disk;

// A size in the largest unit that holds it exactly, such as 100G.
std::string size(unsigned long long bytes) {
  static const char units[] = "BKMGT";
  int unit = 0;
  for (; bytes != 0 && bytes % 1024 == 0 && unit < 4; ++unit)
    bytes /= 1024;
  return std::to_string(bytes) + units[unit];
}

// Every field of each disk read, a line a disk; else the reader's reason.
std::string read(const std::string &bytes) {
  std::vector<Disk> disks;
  const std::string problem = stand_ins::read_disk_listing(bytes, disks);
  if (!problem.empty())
    return problem;
  std::string said;
  for (const Disk &disk : disks)
    said += (disk.missing ? "M" : "") + std::to_string(disk.number) + " " +
            disk.status + " " + size(disk.size_bytes) + " " +
            size(disk.free_bytes) + (disk.dynamic ? " dyn" : "") +
            (disk.gpt ? " gpt" : "") + "\n";
  return said;
}

// What the verdict file holds once `line` and EXIT have run on the machine
// that `bytes` describes, with the volumes it lists.
std::string verdict(const std::string &bytes, const std::string &line) {
  std::vector<Disk> disks;
  std::vector<stand_ins::ListedVolume> volumes;
  std::string problem = stand_ins::read_disk_listing(bytes, disks);
  if (problem.empty() && stand_ins::holds_volume_listing(bytes))
    problem = stand_ins::read_volume_listing(bytes, volumes);
  if (!problem.empty())
    return "unusable\n" + problem + "\n";
  stand_ins::DiskPartSession session(disks, "", volumes);
  session.run(line);
  session.run("EXIT");
  const TempFolder folder;
  EXPECT_TRUE(verdict_file::write(
      folder / "verdict", {session.verdict(), session.verdict_reasons()}));
  return folder.read("verdict");
}

std::string utf16le(const std::u16string &text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text)
    bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

const std::string four = "0 Online 100G 100G dyn gpt\n1 Online 100G 100G dyn "
                         "gpt\n2 Online 100G 100G dyn gpt\n3 Online 100G "
                         "100G dyn gpt\n";
const std::string basic = disk_row("Disk 1", "Online", "100 GB", "100 GB", "");
const std::string piped = "DISKPART> \n";
const std::string layout =
    ": the table's layout is not one the simulation reads: ";
const std::string appended =
    ": the text changes encoding here, as when a capture is appended to with "
    "another program (Windows PowerShell 5.1's >> adds UTF-16 to any file): "
    "save each capture to a file of its own";

const std::string unread_encoding =
    "is in an encoding that the simulation does not read: save it as UTF-8, "
    "or as the UTF-16 that Windows PowerShell 5.1's > writes";

std::string row(const std::string &status, const std::string &size = "100 GB",
                const std::string &free = "100 GB") {
  return capture({{0, disk_row("Disk 0", status, size, free)}});
}

std::string unknown_status(const std::string &status) {
  return "line 3: the status \"" + status +
         "\" is not one the simulation knows: capture LIST DISK again on an "
         "English DiskPart, or add the word to the simulation's statuses "
         "(stand_ins/disk_listing/disk_status.cpp)";
}

TEST(DiskListing, ReadsTheTableThatAnsweredListDiskOrSaysWhyNot) {
  std::string crcrlf = with_crlf(capture());
  for (std::size_t at = 0; (at = crcrlf.find('\n', at)) != std::string::npos;
       at += 2)
    crcrlf.insert(at++, "\r");
  std::string nul_after_online = capture();
  nul_after_online.insert(nul_after_online.find("Online", 200) + 6, 1, '\0');
  std::string beyond = disk_row("Disk 0", "Online", "1 GB", "1 GB");
  beyond.insert(beyond.size() - 1, "     x");
  // Six two-byte letters before the status, which counts by columns.
  std::string greek =
      "  Δίσκος ###  Status         Size     "
      "Free     Dyn  Gpt\n"
      "  ----------  -------------  -------  -------  ---  ---\n";
  for (const char disk : {'0', '1', '2', '3'})
    greek += std::string("  Δίσκος ") + disk +
             "    Online          100 GB   100 GB   *    *\n";
  // Korean DiskPart's layout: marks a column left of the ruler's runs.
  const std::string korean_table =
      "  \uB514\uC2A4\uD06C ###  \uC0C1\uD0DC           \uD06C\uAE30     "
      "\uC0AC\uC6A9 \uAC00\uB2A5     Dyn  Gpt\n"
      "  ----------  -------------  -------  ------------  ---  ---\n";
  const auto korean = [&](const std::string &marks) {
    std::string table = korean_table;
    for (const char disk : {'0', '1', '2', '3'})
      table += std::string("  \uB514\uC2A4\uD06C ") + disk +
               "    \uC628\uB77C\uC778        238 GB       1024 KB" + marks +
               "\n";
    return table;
  };
  const auto korean_read = [](const std::string &marks) {
    std::string read;
    for (const char disk : {'0', '1', '2', '3'})
      read +=
          std::string(1, disk) + " \uC628\uB77C\uC778 238G 1M" + marks + "\n";
    return read;
  };
  // The same rows as code page 949 writes them, as cmd's > and PowerShell
  // 7.4's > save them.
  std::string korean_949 = disk_header;
  for (const char disk : {'0', '1'})
    korean_949 += std::string("  \xB5\xF0\xBD\xBA\xC5\xA9 ") + disk +
                  "    \xBF\xC2\xB6\xF3\xC0\xCE        238 GB       1024 KB"
                  "   *    *\n";
  // Russian rows under an English header, as real captures write units.
  const std::string russian =
      std::string(disk_header) +
      "  \u0414\u0438\u0441\u043A 0    \u0412 \u0441\u0435\u0442\u0438"
      "          232 G\u0431\u0430\u0439\u0442  1024 "
      "K\u0431\u0430\u0439\u0442\n"
      "  \u0414\u0438\u0441\u043A 1    \u0412\u043D\u0435 \u0441\u0435\u0442"
      "\u0438        298 \u0413\u0431\u0430\u0439\u0442    16 "
      "\u041C\u0431\u0430"
      "\u0439\u0442\n";
  const std::string russian_read =
      "0 \u0412 \u0441\u0435\u0442\u0438 232G 1M\n1 \u0412\u043D\u0435 "
      "\u0441\u0435\u0442\u0438 298G 16M\n";
  const std::string russian_866 =
      std::string(disk_header) +
      "  \x84\xA8\xE1\xAA 0    \x82 \xE1\xA5\xE2\xA8          232 G\xA1\xA0"
      "\xA9\xE2  1024 K\xA1\xA0\xA9\xE2\n"
      "  \x84\xA8\xE1\xAA 1    \x82\xAD\xA5 \xE1\xA5\xE2\xA8        298 "
      "\x83\xA1\xA0\xA9\xE2    16 \x8C\xA1\xA0\xA9\xE2\n";
  const std::string fleet_fix =
      " as a PowerShell remoting session reads DiskPart's output unless told "
      "the code page: collect the capture again as the fleet recipe of "
      "docs/rehearsing.md does, which tells it";
  const struct {
    std::string bytes;
    std::string read;
  } cases[] = {
      // which table: LIST DISK's last answer, in any case and abbreviation,
      // or the last table alone in answer to a piped command
      {capture(), four},
      {capture().substr(0, capture().size() - 1), four},
      {crcrlf, four},
      {"\xEF\xBB\xBF" + with_crlf("Banner\n\n" + piped + capture() + piped),
       four},
      {::utf16le(with_crlf("Banner\n\n" + piped + capture() + piped)), four},
      {capture({{1, basic}}) + "\n" + piped + capture(), four},
      {capture({{1, basic}}) + "\n" + capture(), four},
      {capture() + "Leaving DiskPart...\n", four},
      {"DISKPART> list disk\n" + capture() + "Leaving DiskPart...\n", four},
      {"DISKPART> lis DIS\n" + capture({{1, basic}}) + "DISKPART> List disk\n" +
           capture() + "DISKPART> sel disk 0\n",
       four},
      {"DISKPART> list disk\n" + capture() + "DISKPART> detail volume\n\n" +
           capture({{1, basic}}) + "\nRead-only : No\n",
       four},
      {piped + capture() + piped + capture({{1, basic}}) + "\nHidden : No\n",
       four},
      {capture() +
           "\n  Volume ###  Ltr  Label  Fs    Type    Size    Status   Info\n"
           "  ----------  ---  -----  ----  ------  ------  -------  ----\n"
           "  Volume 0     C   OS     NTFS  Mirror  447 GB  Healthy  Boot\n",
       four},
      {"DISKPART> detail volume\n" + capture(),
       "holds no table printed in answer to LIST DISK: its tables answer "
       "other commands, such as DETAIL VOLUME, which lists only a volume's "
       "disks"},
      {capture() + "DISKPART> list disk\n\nThere are no fixed disks.\n",
       "line 7: LIST DISK's answer holds no table, so the capture describes "
       "no disks"},
      {"There are no fixed disks to show.\n",
       "holds no LIST DISK table: no line of six runs of dashes, as under "
       "LIST DISK's header"},
      {"DISKPART> list disk\n" + std::string(disk_header) + "\n",
       "line 3: the LIST DISK table lists no disks, which DiskPart never "
       "prints: a capture cut short?"},
      {greek, four},
      // one encoding to a file
      {utf16le(u"  Disk ###  Status     Size    Free     Dyn  Gpt\n"
               u"  --------  ---------  ------  -------  ---  ---\n"
               u"  Disco 1   En l\u00EDnea   14 GB   1024 KB  *\n"
               u"  \u30C7\u30A3 2    \u30AA\u30F3\u30E9\u30A4\u30F3  1 TB"
               u"       0 B         *"),
       "1 En l\u00EDnea 14G 1M dyn\n2 \u30AA\u30F3\u30E9\u30A4\u30F3 1T 0B "
       "gpt\n"},
      {capture() + utf16le(u"\r\n  Disk 3    Offline"), "line 7" + appended},
      {::utf16le(with_crlf(capture())) + ::utf16le(with_crlf(capture())),
       "line 7" + appended},
      {utf16le(u"\r\n\r\n") + with_crlf(capture()) + "x", "line 3" + appended},
      {nul_after_online, "line 5" + appended},
      {utf16le(u"  Disk") + "x", "ends in the middle of a UTF-16 character"},
      {::utf16le(with_crlf(capture())).substr(2), unread_encoding},
      {std::string("\xFF\xFE\0\0\r\0\0\0", 8), unread_encoding},
      // big-endian: each unit's bytes the other way round
      {std::string("\xFE\xFF\0", 3) + ::utf16le(with_crlf(capture())).substr(2),
       unread_encoding},
      // what a cell may hold
      {capture({{0, disk_row("Disco duro 0", "Online", "1 TB", "0 B")},
                {4, "* " + disk_row("Disk M0", "Missing", "1024 KB", "0 B")
                               .substr(2)}}),
       "0 Online 1T 0B dyn gpt\n1 Online 100G 100G dyn gpt\n2 Online 100G "
       "100G dyn gpt\n3 Online 100G 100G dyn gpt\nM0 Missing 1M 0B dyn gpt\n"},
      {std::string(disk_header) +
           "  D\xF0sk 0    Online          100 GB   100 GB        *\n",
       "0 Online 100G 100G gpt\n"},
      {row("Online", "32 G octets", "1024 K octets"),
       read(row("Online", "32 GB", "1 MB"))},
      {row("Healthy"), unknown_status("Healthy")},
      // a character past the Basic Multilingual Plane, from a surrogate pair
      {utf16le(
           u"  Disk ###  Status         Size     Free     Dyn  Gpt\n"
           u"  --------  -------------  -------  -------  ---  ---\n"
           u"  Disk 0    \U00020000             100 GB   100 GB   *    *\n"),
       unknown_status("\U00020000")},
      {row("online"), "0 online 100G 100G dyn gpt\n" + four.substr(27)},
      // each language in each recipe's encoding: UTF-8 (PowerShell 7.0 to
      // 7.3, and the fleet recipe), a console's code page (cmd, PowerShell
      // 7.4 and later); UTF-16 is above
      {korean("        *"), korean_read(" gpt")},
      {korean("   *    *"), korean_read(" dyn gpt")},
      {korean_949, "0 \uC628\uB77C\uC778 238G 1M dyn gpt\n1 "
                   "\uC628\uB77C\uC778 238G 1M dyn gpt\n"},
      {korean("     *"), "line 3" + layout +
                             "\"*\" stands beside the Dyn column, not "
                             "within it, so which column it marks cannot be "
                             "told"},
      {russian, russian_read},
      {russian_866, russian_read},
      {row("En l\xA1nea"),
       "0 En l\u00EDnea 100G 100G dyn gpt\n" + four.substr(27)},
      {std::string(disk_header) +
           "  \xB4\xC5\xC5\xCC 0    \xC1\xAA\xBB\xFA              476 GB  "
           "2048 KB        *\n",
       "0 \u8054\u673A 476G 2M gpt\n"},
      {std::string(disk_header) +
           "  \xBA\xCF\xBA\xD0 0    \xB3\x73\xBD\x75              476 GB  "
           "    0 B        *\n",
       "0 \u9023\u7DDA 476G 0B gpt\n"},
      {std::string(disk_header) + "  \x83\x66\x83\x42\x83\x58\x83\x4E 0  "
                                  "\x83\x49\x83\x93\x83\x89\x83\x43\x83\x93"
                                  "           931 GB  1024 KB        *\n",
       "0 \u30AA\u30F3\u30E9\u30A4\u30F3 931G 1M gpt\n"},
      {row("En l\u00A1nea"),
       "line 3: the status \"En l\u00A1nea\" is \"En l\u00EDnea\" written in "
       "code page 850 and read as code page 1252," +
           fleet_fix},
      {row("\u201A \u0431\u0490\u0432\u0401"),
       "line 3: the status \"\u201A \u0431\u0490\u0432\u0401\" is \"\u0412 "
       "\u0441\u0435\u0442\u0438\" written in code page 866 and read as code "
       "page 1251," +
           fleet_fix},
      {row("\x8D\xA5\xE2"),
       "line 3: the status \"\\x8D\\xA5\\xE2\" is in a code page (as cmd's > "
       "and PowerShell 7.4's > save DiskPart's output), and is no word the "
       "simulation knows in any code page that DiskPart writes: capture LIST "
       "DISK again with Windows PowerShell 5.1's >, which saves UTF-16, or add "
       "the word to the simulation's statuses "
       "(stand_ins/disk_listing/disk_status.cpp)"},
      {capture(
           {{0, disk_row("Disk 0", "\xBF\xC2\xB6\xF3\xC0\xCE", "1 GB", "1 GB")},
            {1, disk_row("Disk 1", "\xC1\xAA\xBB\xFA", "1 GB", "1 GB")}}),
       "line 4: the status \"\\xC1\\xAA\\xBB\\xFA\" is \"\u8054\u673A\" in "
       "code page 936, unlike the statuses before it: a capture holds one "
       "code page, so save each machine's to a file of its own"},
      {row("Online\x1b[8m"),
       "line 3: holds a control character, \\x1B, in the table"},
      {capture({{0, disk_row("D\xF0sk 0", "Online\x7F", "1 GB", "1 GB")}}),
       "line 3: holds a control character, \\x7F, in the table"},
      {row("Online", "lots"),
       "line 3: the size \"lots\" is not a number and a unit, such as 100 GB"},
      {row("Online", "100"),
       "line 3: the size \"100\" is not a number and a unit, such as 100 GB"},
      {row("Online", "100 PB"),
       "line 3: the size \"100 PB\" has the unknown unit \"PB\" (LIST DISK's "
       "are B, KB, MB, GB and TB, in French octets, K octets, M octets, G "
       "octets and T octets, in Russian \u0431\u0430\u0439\u0442, "
       "\u041A\u0431\u0430\u0439\u0442 and the like)"},
      {row("Online", "16777216 TB"),
       "line 3: the size \"16777216 TB\" is more than the simulation can hold "
       "(under 16777216 TB)"},
      {row("Online", "1 GB", "2 GB"),
       "line 3: more free space than the disk's size"},
      {capture({{2, disk_row("Disk 1", "Online", "1 GB", "0 B")}}),
       "line 5: Disk 1 is listed twice, on line 4 too"},
      {capture({{0, disk_row("Disk Zero", "Online", "1 GB", "1 GB")}}),
       "line 3: no disk number in \"Disk Zero\""},
      {capture({{0, disk_row("Disk 0", "Online", "1 GB", "1 GB", "x")}}),
       "line 3: the Dyn column holds \"x\", not * or nothing"},
      // layouts it cannot read, whatever the cells hold
      {row("Missing", "0  B", "0  B"),
       "0 Missing 0B 0B dyn gpt\n" + four.substr(27)},
      {capture({{0, "  Disk 0    Online       x  100 GB   100 GB\n"}}),
       "line 3" + layout +
           "\"x\" stands between the status and "
           "size columns"},
      {capture({{0, beyond}}),
       "line 3" + layout + "\"x\" stands right of the last column"},
      {capture({{0, "  Disk 0    Online\n"}}), "line 3" + layout +
                                                   "no size "
                                                   "entry"},
  };
  for (const auto &[bytes, expected] : cases)
    EXPECT_EQ(read(bytes), expected) << bytes;
}

const char volume_header[] =
    "  Volume ###  Ltr  Label        Fs     Type        Size     Status     "
    "Info\n"
    "  ----------  ---  -----------  -----  ----------  -------  ---------  "
    "--------\n";

std::string volume_row(const std::string &number, const std::string &letter,
                       const std::string &type, const std::string &size,
                       const std::string &status) {
  char row[200];
  std::snprintf(row, sizeof row,
                "  Volume %-3s  %2s   %-11s  %-5s  %-10s  %7s  %-9s\n",
                number.c_str(), letter.c_str(), "", "", type.c_str(),
                size.c_str(), status.c_str());
  return row;
}

// Each named disk is judged on all that keeps it out, and on nothing else.
TEST(DiskListing, GivesEveryReasonThatKeepsADiskOut) {
  const std::string units =
      capture({{0, disk_row("Disk 0", "Online", "1 TB", "1000 MB")},
               {1, disk_row("Disk 1", "Online", "1 TB", "1 GB")},
               {2, disk_row("Disk 2", "Online", "2 TB", "1 TB")},
               {3, disk_row("Disk 3", "Online", "2 TB", "2048 GB")}});
  const std::string offline_basic =
      disk_row("Disk 2", "Offline", "100 GB", "0 B", "");
  const std::string created = "created\n";
  const struct {
    std::string bytes;
    const char *line;
    std::string verdict;
  } cases[] = {
      {units, sized_line, created},
      {units, nosize_line, created},
      {capture(), "LIST DISK", "unchanged\n"},
      {capture({{0, disk_row("Disk 0", "online", "100 GB", "100 GB")}}),
       sized_line, created},
      {capture({{3, disk_row("Disk M3", "Missing", "100 GB", "0 B")}}),
       sized_line,
       "refused\nThere is no disk 3. LIST DISK shows the disks there are.\n"},
      {capture({{1, disk_row("Disk 9", "Online", "1 GB", "1 GB")},
                {2, offline_basic}}),
       nosize_line,
       "refused\nThere is no disk 1. LIST DISK shows the disks there "
       "are.\nDisk 2's status is Offline: a RAID-5 volume takes only disks "
       "that are Online.\nDisk 2 is a basic disk, and a RAID-5 volume takes "
       "dynamic disks only; convert it to dynamic first.\n"},
      {capture({{3, disk_row("Disk 3", "Online", "100 GB", "999 MB")}}),
       sized_line,
       "refused\nDisk 3 has only 999 MB free, less than the 1000 MB that "
       "SIZE=1000 asks for.\n"},
      {capture({{3, disk_row("Disk 3", "Online", "100 GB", "999 MB")}}),
       nosize_line, created},
      {capture({{3, disk_row("Disk 3", "Online", "100 GB", "1023 KB")}}),
       nosize_line,
       "refused\nDisk 3 has only 1023 KB free, less than the 1 MB that a "
       "volume takes at the least.\n"},
      // a RAID-5 volume already there: a deploy would make a second
      {capture() + "\n" + volume_header +
           volume_row("1", "C", "Mirror", "100 GB", "Healthy"),
       sized_line, created},
      {capture() + "\n" + volume_header +
           volume_row("2", "", "RAID-5", "3000 MB", "Failed Rd"),
       nosize_line,
       "existing\nVolume 2 (RAID-5, 3000 MB, Failed Rd) stands already: a "
       "RAID-5 volume made on this machine would be its second.\n"},
  };
  for (const auto &[bytes, line, expected] : cases)
    EXPECT_EQ(verdict(bytes, line), expected) << bytes << line;
}

// Each column as wide as its widest entry, so that the table reads back.
TEST(DiskListing, WritesItsOwnTableWideEnoughToReadBack) {
  const std::vector<Disk> disks = {
      {12345678, false, "Not Initialized", 17ull << 40, 0, false, true},
      {0, true, "\u30AA\u30F3\u30E9\u30A4\u30F3", 1023, 1, true, false}};
  const std::string table = stand_ins::write_disk_listing(disks);
  EXPECT_EQ(table, "  Disk ###       Status           Size     Free     Dyn  "
                   "Gpt\n"
                   "  -------------  ---------------  -------  -------  ---  "
                   "---\n"
                   "  Disk 12345678  Not Initialized    17 TB      0 B       "
                   "*\n"
                   "  Disk M0        \u30AA\u30F3\u30E9\u30A4\u30F3        "
                   "1023 B      1 B  *\n");
  std::vector<Disk> read_back;
  EXPECT_EQ(stand_ins::read_disk_listing(table, read_back), "");
  EXPECT_EQ(read_back, disks);
}

// Every field of each volume read, a line a volume; else the reader's
// reason.
std::string read_volumes(const std::string &bytes) {
  std::vector<stand_ins::ListedVolume> volumes;
  const std::string problem = stand_ins::read_volume_listing(bytes, volumes);
  if (!problem.empty())
    return problem;
  std::string said;
  for (const stand_ins::ListedVolume &volume : volumes)
    said += std::to_string(volume.number) + "|" + volume.letter + "|" +
            volume.label + "|" + volume.file_system + "|" + volume.type + "|" +
            size(volume.size_bytes) + "|" + volume.status + "|" + volume.info +
            "\n";
  return said;
}

TEST(VolumeListing, ReadsTheTableThatAnsweredListVolumeOrSaysWhyNot) {
  const std::string volumes =
      std::string(volume_header) +
      "  Volume 0     C   Windows      NTFS   Partition    447 GB  Healthy    "
      "Boot\n" +
      volume_row("3", "", "RAID-5", "3000 MB", "Rebuild");
  const std::string read = "0|C|Windows|NTFS|Partition|447G|Healthy|Boot\n"
                           "3||||RAID-5|3000M|Rebuild|\n";
  const std::string raid5 = volume_row("1", "", "RAID-5", "2 GB", "");
  const struct {
    std::string bytes;
    std::string read;
  } cases[] = {
      // which table: LIST VOLUME's last answer, beside LIST DISK's
      {"DISKPART> list disk\n\n" + capture() + "\nDISKPART> list volume\n\n" +
           volumes + "\nDISKPART> exit\n",
       read},
      {::utf16le(with_crlf(piped + capture() + piped + volumes + piped)), read},
      {"DISKPART> lis vol\n" + std::string(volume_header) +
           volume_row("1", "E", "Mirror", "1 GB", "Failed Rd") +
           "DISKPART> LIST VOLUME\n" + volumes,
       read},
      {volumes, read},
      {"DISKPART> list volume\n\nThere are no volumes.\n", ""},
      {"DISKPART> detail disk\n\n" + volumes,
       "holds no table printed in answer to LIST VOLUME: its tables answer "
       "other commands, such as DETAIL DISK, which lists only a disk's "
       "volumes"},
      {capture(), "holds no LIST VOLUME table: no line of eight runs of "
                  "dashes, as under LIST VOLUME's header"},
      {"DISKPART> list volume\n" + std::string(volume_header),
       "line 3: the LIST VOLUME table lists no volumes, which DiskPart never "
       "prints: a capture cut short?"},
      // what a cell may hold
      {std::string(volume_header) +
           volume_row("2", "", "RAID-5", "2 GB", "Failed") +
           volume_row("10", "D", "DVD-ROM", "0 B", "No Media"),
       "2||||RAID-5|2G|Failed|\n10|D|||DVD-ROM|0B|No Media|\n"},
      {std::string(volume_header) +
           volume_row("1", "", "RAID-5", "2 GB", "Gesund"),
       "line 3: the status \"Gesund\" is not one the simulation knows of a "
       "volume: capture LIST VOLUME again on an English DiskPart, or add the "
       "word to the simulation's volume statuses "
       "(stand_ins/disk_listing/volume_status.cpp)"},
      {std::string(volume_header) +
           volume_row("1", "CD", "RAID-5", "2 GB", "Healthy"),
       "line 3: the Ltr column holds \"CD\", not a drive letter or nothing"},
      {std::string(volume_header) +
           volume_row("1", "", "RAID-5", "2 GB", "Healthy") +
           volume_row("1", "", "RAID-5", "4 GB", "Healthy"),
       "line 4: Volume 1 is listed twice, on line 3 too"},
      {std::string(volume_header) +
           volume_row("One", "", "RAID-5", "2 GB", "Healthy"),
       "line 3: no volume number in \"Volume One\""},
      {std::string(volume_header) + volume_row("1", "", "", "", "Healthy"),
       "line 3: the table's layout is not one the simulation reads: no type "
       "entry"},
      {std::string(volume_header) +
           volume_row("1", "", "RAID-5", "lots", "Healthy"),
       "line 3: the size \"lots\" is not a number and a unit, such as 100 GB"},
      {std::string(volume_header) + raid5.substr(0, raid5.size() - 1) +
           "Healthy\x1b\n",
       "line 3: holds a control character, \\x1B, in the table"},
  };
  for (const auto &[bytes, expected] : cases)
    EXPECT_EQ(read_volumes(bytes), expected) << bytes;
  // The simulated DiskPart's own table reads back as the same volumes.
  const std::vector<stand_ins::ListedVolume> own = {
      {12, "", "", "", "RAID-5", 3000 * stand_ins::bytes_per_mb, "Rebuild", ""},
      {0, "C", "System Rese", "NTFS", "Mirror", 350 * stand_ins::bytes_per_mb,
       "Failed Rd", "System"}};
  std::vector<stand_ins::ListedVolume> read_back;
  EXPECT_EQ(stand_ins::read_volume_listing(stand_ins::write_volume_listing(own),
                                           read_back),
            "");
  EXPECT_EQ(read_back, own);
}

// Captures that administrators made on real machines, each beside what it
// must give: the disks read, the volumes where it lists them, then the
// verdict for each program's line.
TEST(DiskListing, ReadsRealCaptures) {
  namespace fs = std::filesystem;
  const auto contents = [](const fs::path &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  };
  int captures = 0;
  for (const fs::directory_entry &entry : fs::directory_iterator(CAPTURES)) {
    if (entry.path().extension() != ".txt")
      continue;
    ++captures;
    const std::string bytes = contents(entry.path());
    const auto ended = [](std::string said) {
      return said.empty() || said.back() == '\n' ? said : said + '\n';
    };
    std::string volumes;
    if (stand_ins::holds_volume_listing(bytes))
      volumes = "--- LIST VOLUME\n" + ended(read_volumes(bytes));
    fs::path expected = entry.path();
    EXPECT_EQ(ended(read(bytes)) + volumes + "--- raidvol-sized\n" +
                  verdict(bytes, sized_line) + "--- raidvol-nosize\n" +
                  verdict(bytes, nosize_line),
              contents(expected.replace_extension(".expected")))
        << entry.path();
  }
  EXPECT_EQ(captures, 19);
}

} // namespace
