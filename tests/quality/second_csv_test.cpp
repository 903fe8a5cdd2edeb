#include "quality/second_csv.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <string>
#include <vector>

#include "quality/iso_time.h"

namespace linkwatch {
namespace {

// Sets TZ for one test and puts the old one back.
class ZoneScope {
 public:
  explicit ZoneScope(const char* tz) {
    if (const char* old = ::getenv("TZ")) m_old = old;
    ::setenv("TZ", tz, 1);
    ::tzset();
  }
  ~ZoneScope() {
    ::setenv("TZ", m_old.c_str(), 1);
    ::tzset();
  }

 private:
  std::string m_old = "UTC";
};

TEST(CsvPath, ReplacesTheExtensionOrAddsOne) {
  const std::pair<const char*, const char*> cases[] = {
      {"results.txt", "results.csv"},
      {"/var/log/lab/results.txt", "/var/log/lab/results.csv"},
      {"results", "results.csv"},
      {"run.2026.log", "run.2026.csv"},
      {"/data/v1.2/results", "/data/v1.2/results.csv"},  // the dot is the folder's
      {".results", ".results.csv"},
      {"results.csv", "results.csv.csv"},  // never the log itself
  };
  for (const auto& [log, csv] : cases) EXPECT_EQ(CsvPathFor(log), csv) << log;
}

TEST(IsoTime, LocalTimeCarriesItsOffset) {
  ZoneScope zone("CET-1CEST,M3.5.0,M10.5.0/3");
  const std::int64_t winter = 1796994309;  // 2026-12-11T13:05:09Z
  EXPECT_EQ(IsoLocalTime(winter), "2026-12-11T14:05:09+01:00");
  const std::int64_t summer = 1783083909;  // 2026-07-03T13:05:09Z
  EXPECT_EQ(IsoLocalTime(summer), "2026-07-03T15:05:09+02:00");
  EXPECT_EQ(ParseIsoTime("2026-12-11T14:05:09+01:00"), winter);
  EXPECT_EQ(ParseIsoTime("2026-12-11T13:05:09Z"), winter);
  EXPECT_EQ(ParseIsoTime("2026-12-11T08:35:09-04:30"), winter);
}

TEST(IsoTime, RejectsMalformedTimes) {
  for (const char* bad :
       {"", "2026-12-11 14:05:09+01:00", "2026-13-11T14:05:09+01:00", "2026-12-11T14:05:09",
        "2026-12-11T14:05:09+0100", "2026-12-11T24:05:09Z", "2026-12-1xT14:05:09Z"}) {
    EXPECT_FALSE(ParseIsoTime(bad)) << bad;
  }
}

std::vector<SecondRecord> ParseAll(std::string_view text, std::optional<InputError>& err) {
  std::vector<SecondRecord> out;
  err = ParseSecondCsv(text, "t.csv", [&](const SecondRecord& r) { out.push_back(r); });
  return out;
}

TEST(SecondCsv, WritesAndReadsBackTheSameRecords) {
  const std::vector<SecondRecord> in = {
      {1796994309, 960, 0, 3, 0, 10, LineStatus::Up},
      {1796997910, 0, 0, 0, 0, 0, LineStatus::Quiet},
      {1796997911, 0, 0, 0, 0, 0, LineStatus::Lost},
      {1796997912, 4294967296ULL, 17, 0, 15, 7, LineStatus::Up},
  };
  std::string text = SecondCsvHeaderLine();
  for (const auto& r : in) text += SecondCsvLine(r);
  EXPECT_EQ(text.substr(0, text.find('\n')), "time,packets,ucerr,cerr,syncloss,frames,line");
  EXPECT_EQ(SecondCsvLine(in[0]), "2026-12-11T13:05:09+00:00,960,0,3,0,10,up\n");

  std::optional<InputError> err;
  EXPECT_EQ(ParseAll(text, err), in);
  EXPECT_FALSE(err);

  // The same file saved again with CR LF line ends.
  std::string crlf;
  for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(ParseAll(crlf, err), in);
  EXPECT_FALSE(err);
}

TEST(SecondCsv, HeaderOnlyIsAnEmptyTest) {
  std::optional<InputError> err;
  EXPECT_TRUE(ParseAll(SecondCsvHeaderLine(), err).empty());
  EXPECT_FALSE(err);
}

TEST(SecondCsv, BadInputNamesFileAndLine) {
  const std::string head = SecondCsvHeaderLine();
  const std::string good = "2026-12-11T13:05:09Z,960,0,3,0,10,up\n";
  const struct {
    std::string text;
    std::uint64_t line;
  } cases[] = {
      {"", 0},
      {"Date,Time,Packets\n1,2,3\n", 1},
      {head + good + "2026-12-11T13:05:10Z,960,0,3,0,10,u", 3},  // cut in the last field
      {head + good + "2026-12-11T13:05:10Z,960,0", 3},           // cut earlier
      {head + good + "2026-12-11T13:05:10Z,960,-1,3,0,10,up\n", 3},
      {head + good + "2026-12-11T13:05:10Z,960,0,3,0,10,up,extra\n", 3},
      {head + "\n" + good, 2},  // a blank line inside
      {head + good + "yesterday,960,0,3,0,10,up\n", 3},
      {head + good + "2026-12-11T13:05:10Z,96O,0,3,0,10,up\n", 3},
  };
  for (const auto& c : cases) {
    std::optional<InputError> err;
    ParseAll(c.text, err);
    ASSERT_TRUE(err) << c.text;
    EXPECT_EQ(err->file, "t.csv");
    EXPECT_EQ(err->line, c.line) << c.text;
    EXPECT_NE(err->Text().find("t.csv"), std::string::npos);
  }
}

}  // namespace
}  // namespace linkwatch
