// What a deliverable owes the disk tool on every run, wherever it runs: its
// script in one piece, no sooner than the pause after the start, then end of
// input; the tool's output on the console and nothing of the program's own;
// and its end after the tool's, with status 0 whatever the tool's.
#pragma once

#include "deliverables.h"
#include "recording.h"
#include "run_program.h"

#include <map>
#include <string>

// The recording tool's settings for a run that shows the contract: it stays a
// second after end of input, so that a program that does not wait for it
// ends first, and fails, so that one that passes its status on shows.
inline const std::map<std::string, std::string> lingering_failing_tool = {
    {"RECORDING_TOOL_LINGER_MS", "1000"}, {"RECORDING_TOOL_EXIT_CODE", "3"}};

// Checks one run, against the report of a tool with those settings. Where
// the code runs emulated, the wall clock tells nothing of the pause, and
// `pause_measured` is false.
void expect_delivery_contract(const Deliverable &deliverable,
                              const ProgramRun &run, const Recording &tool,
                              bool pause_measured = true);
