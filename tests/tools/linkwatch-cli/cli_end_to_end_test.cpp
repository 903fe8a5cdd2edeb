// linkwatch-cli run as a program against rkv-sim on a pseudo-terminal: what
// the log holds, what standard output shows, and the exit status of each way
// a run can end.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli_process.h"
#include "link/sd_device_list.h"
#include "other_program.h"
#include "pty_pair.h"
#include "sim_process.h"
#include "temp_dir.h"

namespace linkwatch::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kHeader = "   Date      Time    No.Pckts     ucERR      cERR  SyncLoss";
constexpr const char* kLost = "RS-232 Connection Loss ";
constexpr const char* kBack = "RS-232 Connection Restored ";
constexpr const char* kZeros = "         0         0         0         0 ";

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
    lines.push_back(text.substr(start, at - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

// The log's text as standard output prints it.
std::string AsPrinted(const std::string& log) {
  std::string out;
  for (const std::string& line : SplitCrLf(log)) out += line + "\n";
  return out;
}

bool IsResultLine(const std::string& line) {
  return line.size() == 60 && line[2] == '-' && line[5] == '-' && line[13] == ':' &&
         line.back() == ' ' && line.find("RS-232") == std::string::npos;
}

// The four totals of a result line, as printed.
std::vector<std::string> TotalsOf(const std::string& line) {
  std::vector<std::string> fields;
  for (std::size_t at = 20; at + 9 <= line.size(); at += 10) {
    const std::string field = line.substr(at, 9);
    const auto digits = field.find_first_not_of(' ');
    fields.push_back(digits == std::string::npos ? "" : field.substr(digits));
  }
  return fields;
}

int SecondOfDay(const std::string& line) {
  return std::stoi(line.substr(11, 2)) * 3600 + std::stoi(line.substr(14, 2)) * 60 +
         std::stoi(line.substr(17, 2));
}

// The final row holds what the simulator delivered.
::testing::AssertionResult FinalRowMatches(const std::string& finalLine,
                                           std::map<std::string, std::uint64_t> summary) {
  if (!IsResultLine(finalLine)) {
    return ::testing::AssertionFailure() << "the last line is no result row: '" << finalLine << "'";
  }
  const std::vector<std::string> expected{
      std::to_string(summary["packets"]), std::to_string(summary["ucerr"]),
      std::to_string(summary["cerr"]), std::to_string(summary["syncloss"])};
  const std::vector<std::string> counted = TotalsOf(finalLine);
  if (counted != expected) {
    return ::testing::AssertionFailure()
           << "counted '" << finalLine.substr(20) << "', the simulator delivered " << expected[0]
           << " " << expected[1] << " " << expected[2] << " " << expected[3];
  }
  return ::testing::AssertionSuccess();
}

// The long one: errors, a quiet line and its return, and the duration's end.
TEST(CliEndToEnd, TwentySecondTestLogsWhatTheSimulatorSent) {
  TempDir dir;
  SimOnPty sim(dir, {"--seed", "11", "--rate", "10", "--error-share", "0.5", "--gap", "7:5"});
  ASSERT_TRUE(sim.Ready());
  const std::string log = dir.File("week.log");
  CliProcess cli(Cli({"--device", sim.Link(), "--duration", "20s", "--log", log}));
  const CliResult run = cli.Finish(40s);
  const auto summary = sim.Stop();
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_FALSE(summary.empty());

  const std::string text = ReadFile(log);
  EXPECT_EQ(text.rfind(kHeader, 0), 0u) << "the header comes first, with no line break before it";
  EXPECT_NE(text.back(), '\n') << "no line break after the last line";
  EXPECT_EQ(SplitCrLf(text).size(),
            static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1)
      << "every line break is CR LF";
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), std::count(text.begin(), text.end(), '\n'));

  const std::vector<std::string> lines = SplitCrLf(text);
  ASSERT_GE(lines.size(), 5u);
  ASSERT_TRUE(IsResultLine(lines[1]));
  EXPECT_EQ(lines[1].substr(19), kZeros) << "the start row has zero totals";
  ASSERT_TRUE(FinalRowMatches(lines.back(), summary));
  // Whole seconds of the wall clock: a tick that lands just past a second's
  // turn can make it 21.
  const int lasted = (SecondOfDay(lines.back()) - SecondOfDay(lines[1]) + 86400) % 86400;
  EXPECT_GE(lasted, 20) << "the duration ends the test 20 s after its start";
  EXPECT_LE(lasted, 21);

  int lost = 0, back = 0, errorRows = 0;
  std::vector<int> headersAfter;  // the error rows before each repeated header
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line == kHeader) {
      headersAfter.push_back(errorRows);
      EXPECT_TRUE(IsResultLine(lines[i - 1]))
          << "line " << i << ": the header follows an error row";
    } else if (line.size() > 20 && line.substr(20) == kLost) {
      ++lost;
      EXPECT_EQ(back, 0) << "the loss comes before the return";
    } else if (line.size() > 20 && line.substr(20) == kBack) {
      ++back;
    } else {
      ASSERT_TRUE(IsResultLine(line)) << "line " << i << ": '" << line << "'";
      if (i != 1 && i + 1 != lines.size()) ++errorRows;
    }
  }
  EXPECT_EQ(lost, 1);
  EXPECT_EQ(back, 1);
  EXPECT_EQ(static_cast<std::uint64_t>(errorRows), summary.at("error_frames"));
  std::vector<int> every50;
  for (int n = 50; n <= errorRows; n += 50) every50.push_back(n);
  EXPECT_EQ(headersAfter, every50) << "the header again right after every 50th error row";
  EXPECT_GT(errorRows, 50) << "enough errors to see the header repeated";

  EXPECT_EQ(run.out, AsPrinted(text)) << "standard output is the log, line by line";
}

// The lock file that minicom and the like look for, in the system's own lock
// folder: /dev/pts/7 -> /var/lock/LCK..pts_7. Empty when that folder cannot be
// written, so the program runs without one.
std::string SystemLockFile(const std::string& device) {
  if (::access("/var/lock", W_OK) != 0) return {};
  const std::string resolved = std::filesystem::canonical(device).string();
  return "/var/lock/LCK..pts_" + resolved.substr(resolved.rfind('/') + 1);
}

class CliStopSignal : public ::testing::TestWithParam<int> {};

TEST_P(CliStopSignal, StopsTheTestAsStopDoesAndExitsZero) {
  TempDir dir;
  SimOnPty sim(dir, {"--seed", "4", "--rate", "8", "--error-share", "0.3"});
  ASSERT_TRUE(sim.Ready());
  CliProcess cli(Cli({"--device", sim.Link()}, dir.Path().string()));
  ASSERT_TRUE(cli.WaitForOutput(kZeros, 5s));  // the start row: the port is held
  const std::string lock = SystemLockFile(sim.Link());
  if (!lock.empty()) {
    EXPECT_EQ(ReadFile(lock), LockText(cli.Pid()));
  }
  // Ticks are being handled: the header, the start row and two error rows.
  ASSERT_TRUE(cli.WaitUntilOutput(
      [](const std::string& out) { return std::count(out.begin(), out.end(), '\n') >= 3; },
      "two error rows", 15s));
  cli.Signal(GetParam());
  const CliResult run = cli.Finish(5s);
  if (!lock.empty()) {
    EXPECT_FALSE(std::filesystem::exists(lock)) << "left behind: " << lock;
  }
  const auto summary = sim.Stop();
  EXPECT_EQ(run.status, 0) << "signal " << GetParam() << "; " << run.err;

  const std::string text = ReadFile(dir.File("results.txt"));
  const std::vector<std::string> lines = SplitCrLf(text);
  ASSERT_GE(lines.size(), 4u) << text;
  EXPECT_EQ(lines[0], kHeader);
  EXPECT_EQ(lines[1].substr(19), kZeros);
  ASSERT_TRUE(FinalRowMatches(lines.back(), summary));
  EXPECT_NE(TotalsOf(lines.back())[0], "0") << "frames were counted";
  EXPECT_EQ(run.out, AsPrinted(text));
}

INSTANTIATE_TEST_SUITE_P(Signals, CliStopSignal, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

// A pseudo-terminal to stand in for the user's: what is written to master
// arrives on the slave as typed.
struct Terminal {
  Terminal() {
    int m = -1, s = -1;
    if (::openpty(&m, &s, nullptr, nullptr, nullptr) == 0) {
      master = UniqueFd(m);
      slave = UniqueFd(s);
    }
  }
  void Type(const std::string& text) const {
    EXPECT_EQ(::write(master.Get(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  UniqueFd master, slave;
};

struct ExistingLogCase {
  const char* name;
  bool overwrite;
  bool onTerminal;
  bool inBackground;  // a background job of that terminal
  const char* typed;
  int status;
  bool replaced;
};

class CliExistingLog : public ::testing::TestWithParam<ExistingLogCase> {};

// The port cannot be opened here, so a replaced log holds just the header and
// the line saying so; one left alone holds what it held.
TEST_P(CliExistingLog, IsReplacedOnlyWhenAllowed) {
  const ExistingLogCase& c = GetParam();
  TempDir dir;
  const std::string log = dir.File("results.txt");
  WriteFile(log, "last week's results\r\n");
  Terminal terminal;
  ASSERT_TRUE(terminal.master.Valid());
  if (c.typed != nullptr) terminal.Type(c.typed);
  CliSetup setup = Cli({"--device", dir.File("no-such-tty")}, dir.Path().string());
  if (c.overwrite) setup.args.push_back("--overwrite");
  if (c.onTerminal) setup.stdinFd = terminal.slave.Get();
  if (c.inBackground) setup.backgroundOf = terminal.slave.Get();
  CliProcess cli(setup);
  const CliResult run = cli.Finish(5s);

  EXPECT_EQ(run.status, c.status) << run.err;
  const std::string text = ReadFile(log);
  if (c.replaced) {
    EXPECT_EQ(text, std::string(kHeader) + "\r\n     Cannot Open " + dir.File("no-such-tty") +
                        " - recording terminated");
  } else {
    EXPECT_EQ(text, "last week's results\r\n");
    EXPECT_NE(run.err.find("not replaced"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--overwrite"), std::string::npos) << run.err;
  }
  EXPECT_EQ(run.err.find("Overwrite Existing File? [y/N]") != std::string::npos,
            c.onTerminal && !c.inBackground && !c.overwrite)
      << "asked only in the foreground of a terminal, and not with --overwrite: " << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliExistingLog,
    ::testing::Values(ExistingLogCase{"NoTerminal", false, false, false, nullptr, 3, false},
                      ExistingLogCase{"Overwrite", true, false, false, nullptr, 4, true},
                      ExistingLogCase{"OverwriteOnTerminal", true, true, false, nullptr, 4, true},
                      ExistingLogCase{"TypedY", false, true, false, "y\n", 4, true},
                      ExistingLogCase{"TypedYes", false, true, false, "Yes\n", 4, true},
                      ExistingLogCase{"TypedN", false, true, false, "n\n", 3, false},
                      ExistingLogCase{"TypedEnter", false, true, false, "\n", 3, false},
                      ExistingLogCase{"EndOfInput", false, true, false, "\x04", 3, false},
                      // Reading the terminal would stop it: it must not ask,
                      // whatever waits there to be read.
                      ExistingLogCase{"BackgroundJob", false, true, true, "y\n", 3, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct PortCase {
  const char* name;
  std::vector<std::string> args;
  std::map<std::string, std::string> env;
  const char* portName;  // as the message and the log name it; "" for the device path
};

class CliPortFailure : public ::testing::TestWithParam<PortCase> {};

TEST_P(CliPortFailure, ExitsFourWithTheTwoLineLog) {
  TempDir dir;
  const std::string device = dir.File("no-such-tty");
  CliSetup setup = Cli(GetParam().args, dir.Path().string());
  setup.env = GetParam().env;
  for (std::string& a : setup.args) {
    if (a == "DEVICE") a = device;
  }
  for (auto& [name, value] : setup.env) {
    if (value == "DEVICE") value = device;
  }
  CliProcess cli(setup);
  const CliResult run = cli.Finish(5s);
  const std::string port = *GetParam().portName != '\0' ? GetParam().portName : device;
  const std::string message = "Cannot Open " + port;

  EXPECT_EQ(run.status, 4) << run.err;
  const std::string text = ReadFile(dir.File("results.txt"));
  EXPECT_EQ(text, std::string(kHeader) + "\r\n     " + message + " - recording terminated");
  EXPECT_EQ(run.err.rfind(message + "\n", 0), 0u) << run.err;
  EXPECT_NE(run.err.find(device), std::string::npos) << "the detail names the device";
  EXPECT_EQ(run.out, AsPrinted(text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliPortFailure,
    ::testing::Values(PortCase{"Device", {"--device", "DEVICE"}, {}, ""},
                      PortCase{"Com3", {"--port", "3"}, {{"LINKWATCH_COM3", "DEVICE"}}, "COM3"},
                      PortCase{"Com1", {}, {{"LINKWATCH_COM1", "DEVICE"}}, "COM1"}),
    [](const auto& info) { return std::string(info.param.name); });

// Another program's lock file refuses the port as any busy port: exit 4, and
// the detail names who holds it.
TEST(CliPortHeld, ALockFileOfALiveProgramExitsFourAndNamesIt) {
  PtyPair pty;
  const std::string lock = SystemLockFile(pty.Name());
  if (lock.empty()) GTEST_SKIP() << "/var/lock cannot be written here";
  OtherProgram minicom("minicom");
  WriteFile(lock, LockText(minicom.Pid()));
  struct Remove {
    std::string path;
    ~Remove() { std::filesystem::remove(path); }
  } const cleanup{lock};

  TempDir dir;
  CliProcess cli(Cli({"--device", pty.Name()}, dir.Path().string()));
  const CliResult run = cli.Finish(10s);
  EXPECT_EQ(run.status, 4) << run.err;
  EXPECT_EQ(run.err.rfind("Cannot Open " + pty.Name() + "\n", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("in use by minicom (process " + std::to_string(minicom.Pid()) + ")"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(ReadFile(lock), LockText(minicom.Pid())) << "the holder's lock stays";
}

TEST(CliLogFailure, ALogThatCannotBeOpenedExitsThreeBeforeThePortIsTried) {
  TempDir dir;
  SimOnPty sim(dir, {"--rate", "5"});
  ASSERT_TRUE(sim.Ready());
  const std::string log = dir.File("missing/results.txt");
  CliProcess cli(Cli({"--device", sim.Link(), "--log", log}, dir.Path().string()));
  const CliResult run = cli.Finish(5s);
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_EQ(run.err.rfind("Cannot open " + log + "\n", 0), 0u) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(sim.Stop().at("frames"), 0u) << "the port was never opened, nothing was read";

  // A folder in the log's place cannot be replaced, even when allowed to.
  CliProcess folder(
      Cli({"--device", dir.File("tty"), "--log", dir.Path().string(), "--overwrite"}));
  EXPECT_EQ(folder.Finish(5s).status, 3);
}

// The same list as the window's menu, one path a line, and no test run.
TEST(CliDevices, ListDevicesPrintsTheDevicesPresent) {
  TempDir dir;
  CliProcess cli(Cli({"--list-devices"}, dir.Path().string()));
  const CliResult run = cli.Finish(5s);
  EXPECT_EQ(run.status, 0) << run.err;
  SdDeviceList list;
  std::string expected;
  for (const std::string& path : list.Devices()) expected += path + "\n";
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(run.err, "");
  EXPECT_FALSE(std::filesystem::exists(dir.File("results.txt")));
}

TEST(CliUsage, ABadCommandLineExitsTwoAndTouchesNothing) {
  TempDir dir;
  CliProcess cli(Cli({"--duration", "0"}, dir.Path().string()));
  const CliResult run = cli.Finish(5s);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("results.txt")));

  CliProcess help(Cli({"--help"}, dir.Path().string()));
  const CliResult helped = help.Finish(5s);
  EXPECT_EQ(helped.status, 0);
  EXPECT_NE(helped.out.find("Exit status"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("results.txt")));
}

// A reader of standard output that goes away (a pager quit, a closed SSH
// pipe) must not end the test: the log is the record.
TEST(CliRobustness, AGoneReaderOfTheOutputDoesNotEndTheTest) {
  TempDir dir;
  SimOnPty sim(dir, {"--seed", "2", "--rate", "10", "--error-share", "1"});
  ASSERT_TRUE(sim.Ready());
  CliSetup setup = Cli({"--device", sim.Link(), "--duration", "3s"}, dir.Path().string());
  setup.closeStdoutReader = true;
  CliProcess cli(setup);
  const CliResult run = cli.Finish(10s);
  const auto summary = sim.Stop();
  EXPECT_EQ(run.termSignal, 0) << "ended by signal " << run.termSignal;
  EXPECT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = SplitCrLf(ReadFile(dir.File("results.txt")));
  ASSERT_GE(lines.size(), 3u);
  ASSERT_TRUE(FinalRowMatches(lines.back(), summary));
}

// A reader of standard output that stalls (a pipe nobody reads, Ctrl+S on
// the terminal, a stalled SSH session) must not stall the test: the port is
// read and the log written as ever, and a stop signal acts at once.
TEST(CliRobustness, AStalledReaderOfTheOutputHoldsUpNothing) {
  TempDir dir;
  SimOnPty sim(dir, {"--seed", "6", "--rate", "106", "--error-share", "1", "--frames", "450"});
  ASSERT_TRUE(sim.Ready());
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
  UniqueFd stalledRead(fds[0]);
  UniqueFd stalledWrite(fds[1]);
  // The smallest pipe: full after some sixty rows.
  const int capacity = ::fcntl(stalledWrite.Get(), F_SETPIPE_SZ, 4096);
  ASSERT_GT(capacity, 0);
  CliSetup setup = Cli({"--device", sim.Link()}, dir.Path().string());
  setup.stdoutFd = stalledWrite.Get();
  CliProcess cli(setup);
  stalledWrite.Reset();

  // The simulator waits for its reader to take every frame before it ends.
  auto summary = sim.Ended(20s);
  ASSERT_FALSE(summary.empty());
  EXPECT_EQ(summary["frames"], 450u);
  EXPECT_EQ(summary["lost_frames"], 0u) << "every frame was read from the port";
  int queued = 0;
  ASSERT_EQ(::ioctl(stalledRead.Get(), FIONREAD, &queued), 0);
  EXPECT_GT(queued, capacity - 100) << "standard output is full: the next row does not fit";

  cli.Signal(SIGTERM);
  const CliResult run = cli.Finish(5s);
  EXPECT_EQ(run.termSignal, 0) << "it ended by itself, not killed";
  EXPECT_EQ(run.status, 0) << run.err;

  const std::string text = ReadFile(dir.File("results.txt"));
  const std::vector<std::string> lines = SplitCrLf(text);
  ASSERT_GE(lines.size(), 3u);
  ASSERT_TRUE(FinalRowMatches(lines.back(), summary));
  const auto errorRows = std::count_if(lines.begin() + 2, lines.end() - 1, IsResultLine);
  EXPECT_EQ(static_cast<std::uint64_t>(errorRows), summary["error_frames"]);

  std::string shown(static_cast<std::size_t>(queued), '\0');
  ASSERT_EQ(::read(stalledRead.Get(), shown.data(), shown.size()), queued);
  EXPECT_EQ(AsPrinted(text).rfind(shown, 0), 0u) << "what was shown is the log's start, whole";
}

// nohup starts a program with the hang-up ignored, so that it outlives the
// session it was started from: the hang-up must not stop the test.
TEST(CliRobustness, AHangUpIgnoredAtStartStaysIgnored) {
  TempDir dir;
  SimOnPty sim(dir, {"--seed", "7", "--rate", "10", "--gap", "3:60"});
  ASSERT_TRUE(sim.Ready());
  CliSetup setup = Cli({"--device", sim.Link()}, dir.Path().string());
  setup.ignoredSignals = {SIGHUP};
  CliProcess cli(setup);
  ASSERT_TRUE(cli.WaitForOutput(kZeros, 5s));
  cli.Signal(SIGHUP);
  // Still running some seconds later: the quiet line is reported.
  EXPECT_TRUE(cli.WaitForOutput(kLost, 15s)) << "stopped by the hang-up";
  cli.Signal(SIGTERM);
  const CliResult run = cli.Finish(5s);
  sim.Stop();
  EXPECT_EQ(run.status, 0) << run.err;
}

// A file-size limit makes log writes fail with EFBIG; the test goes on to its
// end, says so, and its exit status says the log is incomplete.
TEST(CliRobustness, AFileSizeLimitIsReportedNotFatal) {
  TempDir dir;
  SimOnPty sim(dir, {"--seed", "3", "--rate", "10", "--error-share", "1"});
  ASSERT_TRUE(sim.Ready());
  CliSetup setup = Cli({"--device", sim.Link(), "--duration", "3s"}, dir.Path().string());
  setup.fileSizeLimit = 400;
  CliProcess cli(setup);
  const CliResult run = cli.Finish(10s);
  sim.Stop();
  EXPECT_EQ(run.termSignal, 0) << "ended by signal " << run.termSignal;
  EXPECT_EQ(run.status, 5) << run.err;
  EXPECT_NE(run.err.find("An error occurred while writing"), std::string::npos) << run.err;
  EXPECT_LE(ReadFile(dir.File("results.txt")).size(), 400u);
  EXPECT_GT(std::count(run.out.begin(), run.out.end(), '\n'), 10)
      << "standard output still shows every row";
}

// On a terminal, standard error shows the elapsed time and totals, redrawn in
// place, and clears it at the end.
TEST(CliTerminal, StatusLineOnStandardError) {
  TempDir dir;
  SimOnPty sim(dir, {"--seed", "5", "--rate", "5"});
  ASSERT_TRUE(sim.Ready());
  Terminal terminal;
  ASSERT_TRUE(terminal.master.Valid());
  CliSetup setup = Cli({"--device", sim.Link(), "--duration", "3s"}, dir.Path().string());
  setup.stderrFd = terminal.slave.Get();
  CliProcess cli(setup);
  const CliResult run = cli.Finish(10s);
  sim.Stop();
  ASSERT_EQ(run.status, 0);
  terminal.slave.Reset();
  std::string shown;
  char buf[4096];
  for (ssize_t n; (n = ::read(terminal.master.Get(), buf, sizeof buf)) > 0;) shown.append(buf, n);
  EXPECT_NE(shown.find("\r00d-00h-00m-00s  No.Pckts 0  ucERR 0  cERR 0  SyncLoss 0\033[K"),
            std::string::npos)
      << shown;
  EXPECT_NE(shown.find("\r00d-00h-00m-02s  No.Pckts "), std::string::npos) << shown;
  EXPECT_EQ(shown.substr(shown.size() - 4), "\r\033[K") << "cleared at the end";
}

}  // namespace
}  // namespace linkwatch::testing
