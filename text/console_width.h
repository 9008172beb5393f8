// How many columns a console gives a character, so that a table lines up
// as it does on the screen: a wide East Asian character takes two.
#pragma once

namespace text {

// 0, 1 or 2; -1 for a character that the console does not show as text,
// such as a control character, or whose width the host cannot tell.
int console_width(char32_t c);

} // namespace text
