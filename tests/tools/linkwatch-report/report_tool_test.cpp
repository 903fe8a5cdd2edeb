#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "temp_dir.h"

namespace linkwatch::testing {
namespace {

struct ToolRun {
  int status = -1;
  std::string out;
};

ToolRun Report(const std::string& args, const std::string& dir) {
  const std::string cmd = "cd '" + dir + "' && " LINKWATCH_REPORT_PATH " " + args + " 2>stderr.txt";
  ToolRun run;
  std::FILE* p = ::popen(cmd.c_str(), "r");
  if (p == nullptr) return run;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) run.out.append(buf, n);
  const int st = ::pclose(p);
  run.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return run;
}

void Put(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// 12 seconds from 14:00:00 UTC: two ES (one of them SES), then three quiet
// or lost seconds that make one loss of the line.
const std::string kCsv =
    "time,packets,ucerr,cerr,syncloss,frames,line\r\n"
    "2026-12-11T14:00:00+00:00,100,0,0,0,1,up\r\n"
    "2026-12-11T14:00:01+00:00,100,1,5,0,1,up\r\n"
    "2026-12-11T14:00:02+00:00,100,40,0,0,1,up\r\n"
    "2026-12-11T14:00:03+00:00,100,0,0,0,1,up\r\n"
    "2026-12-11T14:00:04+00:00,0,0,0,0,0,quiet\r\n"
    "2026-12-11T14:00:05+00:00,0,0,0,0,0,lost\r\n"
    "2026-12-11T14:00:06+00:00,0,0,0,0,0,lost\r\n"
    "2026-12-11T14:00:07+00:00,100,0,0,0,1,up\r\n"
    "2026-12-11T14:00:08+00:00,100,0,0,0,1,up\r\n"
    "2026-12-11T14:00:09+00:00,100,0,0,1,1,up\r\n"
    "2026-12-11T14:00:10+00:00,100,0,0,0,1,up\r\n"
    "2026-12-11T14:00:11+00:00,100,0,0,0,1,up\r\n";

TEST(ReportTool, JsonHasTheFiguresOfTheFile) {
  TempDir dir;
  Put(dir.File("t.csv"), kCsv);
  const ToolRun run = Report("t.csv --json", dir.File(""));
  ASSERT_EQ(run.status, 0) << ReadFile(dir.File("stderr.txt"));
  EXPECT_EQ(run.out,
            "{\"seconds_total\":12,\"seconds_measured\":9,\"seconds_not_measured\":3,"
            "\"seconds_available\":9,\"seconds_unavailable\":0,\"es\":3,\"ses\":2,\"bbe\":1,"
            "\"esr\":0.33333333333333331,\"sesr\":0.22222222222222221,"
            "\"bber\":0.0014285714285714286,\"availability\":1,\"packets\":900,\"ucerr\":41,"
            "\"cerr\":5,\"syncloss\":1,"
            "\"line_losses\":[{\"start\":\"2026-12-11T14:00:04+00:00\",\"seconds\":3}],"
            "\"estimated\":false}\n");
}

TEST(ReportTool, PdfAndPngAreWritten) {
  TempDir dir;
  Put(dir.File("t.csv"), kCsv);
  const ToolRun run = Report("t.csv --pdf out.pdf --png out.png", dir.File(""));
  ASSERT_EQ(run.status, 0) << ReadFile(dir.File("stderr.txt"));
  EXPECT_NE(run.out.find("Link quality of t.csv"), std::string::npos);
  EXPECT_TRUE(ReadFile(dir.File("out.pdf")).starts_with("%PDF-"));
  EXPECT_TRUE(ReadFile(dir.File("out.png")).starts_with("\x89PNG"));
}

TEST(ReportTool, ALogAloneIsMarkedEstimatedAndItsCsvIsPreferred) {
  TempDir dir;
  Put(dir.File("results.txt"),
      "   Date      Time    No.Pckts     ucERR      cERR  SyncLoss\r\n"
      "11-12-2026 14:00:00         0         0         0         0 \r\n"
      "11-12-2026 14:00:02       200         1         0         0 \r\n"
      "11-12-2026 14:00:05       500         1         0         0 ");
  ToolRun run = Report("results.txt --json", dir.File(""));
  ASSERT_EQ(run.status, 0) << ReadFile(dir.File("stderr.txt"));
  EXPECT_NE(run.out.find("\"es\":1,"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"estimated\":true"), std::string::npos) << run.out;
  run = Report("results.txt", dir.File(""));
  EXPECT_NE(run.out.find("estimated"), std::string::npos);

  Put(dir.File("results.csv"), kCsv);
  run = Report("results.txt --json", dir.File(""));
  EXPECT_NE(run.out.find("\"seconds_total\":12,"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"estimated\":false"), std::string::npos);
}

TEST(ReportTool, BadInputNamesFileAndLineExitsTwoAndWritesNothing) {
  const struct {
    const char* name;
    std::string text;
    std::string where;
  } cases[] = {
      {"cut short", kCsv.substr(0, kCsv.size() - 10), "t.csv:13:"},
      {"garbage line", kCsv + "hello\n", "t.csv:14:"},
      {"not ours", "name,age\nbob,3\n", "t.csv:1:"},
      {"empty", "", "t.csv:"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    Put(dir.File("t.csv"), c.text);
    const ToolRun run = Report("t.csv --json --pdf out.pdf --png out.png", dir.File(""));
    EXPECT_EQ(run.status, 2) << c.name;
    EXPECT_EQ(run.out, "") << c.name;
    EXPECT_NE(ReadFile(dir.File("stderr.txt")).find(c.where), std::string::npos) << c.name;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.pdf"))) << c.name;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.png"))) << c.name;
  }
  TempDir dir;
  EXPECT_EQ(Report("missing.csv", dir.File("")).status, 2);
  EXPECT_EQ(Report("--pdf", dir.File("")).status, 2);
}

}  // namespace
}  // namespace linkwatch::testing
