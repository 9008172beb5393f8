// What the recording tool prints at end of input, so that a test can tell
// whether the tool's output reaches the caller's console.
#pragma once

inline constexpr char recording_tool_says[] = "recording tool: end of input\n";
