// Text in a Windows code page, such as the console's, in which cmd's > and
// PowerShell 7.4's > save DiskPart's output as it came.
#pragma once

#include <string>

namespace text {

// `bytes`, text in code page `page`, as UTF-8 in `text`; false where they
// are not text in that page.
bool utf8_from_code_page(const std::string &bytes, unsigned page,
                         std::string &text);

// `text`, UTF-8, as code page `page` writes it, in `bytes`; false where a
// character has no form of its own there.
bool code_page_from_utf8(const std::string &text, unsigned page,
                         std::string &bytes);

} // namespace text
