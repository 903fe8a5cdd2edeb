#include "cli_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace linkwatch::cli {
namespace {

using Args = std::vector<std::string>;

TEST(CliOptions, DefaultsAreCom1ContinuousAndTheDefaultLog) {
  const ParsedCli p = ParseCliArgs({});
  EXPECT_EQ(p.error, "");
  EXPECT_FALSE(p.help);
  EXPECT_EQ(p.options.port, 1);
  EXPECT_EQ(p.options.device, "");
  EXPECT_EQ(p.options.duration.seconds, 0);
  EXPECT_EQ(p.options.duration.listIndex, 0);
  EXPECT_EQ(p.options.logPath, "");
  EXPECT_FALSE(p.options.overwrite);
}

TEST(CliOptions, TakesValuesAsNextWordOrAfterEquals) {
  const ParsedCli p =
      ParseCliArgs({"--port", "3", "--duration=2h", "--log", "/tmp/a b.txt", "--overwrite"});
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.options.port, 3);
  EXPECT_EQ(p.options.duration.seconds, 7200);
  EXPECT_EQ(p.options.logPath, "/tmp/a b.txt");
  EXPECT_TRUE(p.options.overwrite);

  const ParsedCli d = ParseCliArgs({"--device=/dev/ttyUSB0", "--duration", "15 minutes"});
  ASSERT_EQ(d.error, "");
  EXPECT_EQ(d.options.device, "/dev/ttyUSB0");
  EXPECT_EQ(d.options.duration.listIndex, 1);
  // A value may itself start with dashes or hold '='.
  EXPECT_EQ(ParseCliArgs({"--log", "--weird=name"}).options.logPath, "--weird=name");
}

TEST(CliOptions, ListDevicesTakesNoValue) {
  EXPECT_TRUE(ParseCliArgs({"--list-devices"}).listDevices);
  EXPECT_FALSE(ParseCliArgs({}).listDevices);
  EXPECT_NE(ParseCliArgs({"--list-devices=all"}).error, "");
  EXPECT_NE(UsageText().find("--list-devices"), std::string::npos);
}

TEST(CliOptions, HelpWins) {
  EXPECT_TRUE(ParseCliArgs({"--help"}).help);
  EXPECT_TRUE(ParseCliArgs({"--port", "2", "-h"}).help);
}

struct BadCase {
  Args args;
  const char* mentions;
};

class BadCommandLine : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadCommandLine, IsAUsageErrorThatSaysWhy) {
  const ParsedCli p = ParseCliArgs(GetParam().args);
  EXPECT_NE(p.error.find(GetParam().mentions), std::string::npos) << p.error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadCommandLine,
    ::testing::Values(BadCase{{"--port", "0"}, "--port"}, BadCase{{"--port", "5"}, "--port"},
                      BadCase{{"--port", "12"}, "--port"}, BadCase{{"--port=x"}, "--port"},
                      BadCase{{"--port"}, "needs a value"}, BadCase{{"--log"}, "needs a value"},
                      BadCase{{"--log="}, "--log"}, BadCase{{"--device", ""}, "--device"},
                      BadCase{{"--duration", "0"}, "duration"},
                      BadCase{{"--duration", "3y"}, "unit"},
                      BadCase{{"--port", "2", "--device", "/dev/ttyUSB0"}, "not both"},
                      BadCase{{"--device", "/dev/ttyUSB0", "--port=1"}, "not both"},
                      BadCase{{"--verbose"}, "unknown option --verbose"},
                      BadCase{{"--overwrite=yes"}, "unknown option"},
                      BadCase{{"results.txt"}, "unexpected argument"}));

}  // namespace
}  // namespace linkwatch::cli
