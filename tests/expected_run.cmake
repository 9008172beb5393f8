# Reads the tests' own copy of what a run hands the disk tool, kept apart from
# the product's so that a slip in either shows, into disk_tool_command,
# pause_ms, sized_line, nosize_line, exit_line and line_end.
set(expected_run_json ${CMAKE_CURRENT_LIST_DIR}/expected_run.json)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${expected_run_json})
file(READ ${expected_run_json} expected_run)
string(JSON disk_tool_command GET "${expected_run}" disk_tool_command)
string(JSON pause_ms GET "${expected_run}" pause_ms)
string(JSON sized_line GET "${expected_run}" create_volume_lines raidvol-sized)
string(JSON nosize_line GET "${expected_run}" create_volume_lines raidvol-nosize)
string(JSON exit_line GET "${expected_run}" exit_line)
string(JSON line_end GET "${expected_run}" line_end)
