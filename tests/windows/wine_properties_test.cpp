// What Windows shows of each deliverable under Properties, Details, and what
// its manifest asks of the loader, read back under Wine through the system's
// own version and activation context APIs by the properties reader.
#include "deliverables.h"
#include "wine_run.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>

namespace {

std::map<std::string, std::string> read_properties(const std::string &program) {
  const ProgramRun run = run_under_wine(X64_PROGRAMS "/properties_reader.exe",
                                        {windows_path(program)});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  std::map<std::string, std::string> properties;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    const auto equals = line.find('=');
    if (equals != std::string::npos)
      properties[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return properties;
}

class CarriesItsProperties : public ::testing::TestWithParam<Deliverable> {};

TEST_P(CarriesItsProperties, VersionNameAndPurposeAndAManifestToRunAsInvoker) {
  const Deliverable &deliverable = GetParam();
  auto properties = read_properties(deliverable.program);

  const std::string script = deliverable.script;
  const std::string create_line = script.substr(0, script.find('\r'));
  EXPECT_NE(properties["FileDescription"].find(create_line), std::string::npos)
      << "names the line it hands over: " << properties["FileDescription"];
  EXPECT_EQ(properties["ProductName"], "raidvol");
  EXPECT_EQ(properties["FileVersion"], PROJECT_VERSION);
  EXPECT_EQ(properties["ProductVersion"], PROJECT_VERSION);
  EXPECT_EQ(properties["FixedFileVersion"], PROJECT_VERSION ".0");
  EXPECT_EQ(properties["OriginalFilename"],
            std::filesystem::path(deliverable.program).filename().string());
  EXPECT_EQ(properties["RunLevel"], "asInvoker");
  EXPECT_NE(properties["SupportedOS"], "0") << "declares its Windows versions";
  EXPECT_NE(properties["SupportedOS"], "");
}

INSTANTIATE_TEST_SUITE_P(Windows32, CarriesItsProperties,
                         windows_deliverables(X86_PROGRAMS), deliverable_name);
INSTANTIATE_TEST_SUITE_P(Windows64, CarriesItsProperties,
                         windows_deliverables(X64_PROGRAMS), deliverable_name);

} // namespace
