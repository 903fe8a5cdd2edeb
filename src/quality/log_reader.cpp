#include "quality/log_reader.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace linkwatch {

namespace {

constexpr std::string_view kHeader = "   Date      Time    No.Pckts     ucERR      cERR  SyncLoss";
constexpr std::string_view kLost = "RS-232 Connection Loss";
constexpr std::string_view kBack = "RS-232 Connection Restored";
constexpr std::size_t kStampLength = 20;  // "DD-MM-YYYY HH:MM:SS "

struct Counts {
  std::uint64_t packets = 0, ucErr = 0, cErr = 0, syncLoss = 0;
};

inline bool Digit(char c) {
  return c >= '0' && c <= '9';
}
inline int Two(const char* p) {
  return (p[0] - '0') * 10 + (p[1] - '0');
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Local date and time texts into seconds. mktime is slow, so the hour's start
// is kept and reused while the date and hour stay the same: daylight-saving
// changes fall on hour boundaries.
class StampReader {
 public:
  std::optional<std::int64_t> Read(std::string_view s) {
    if (s.size() < kStampLength) return std::nullopt;
    const char* p = s.data();
    if (p[13] != ':' || !Digit(p[14]) || !Digit(p[15]) || p[16] != ':' || !Digit(p[17]) ||
        !Digit(p[18]) || p[19] != ' ') {
      return std::nullopt;
    }
    const int minute = Two(p + 14), second = Two(p + 17);
    if (minute > 59 || second > 60) return std::nullopt;
    // The date and hour were checked when they became the key.
    if (std::memcmp(p, m_key, sizeof m_key) != 0) {
      static constexpr int kDigitAt[] = {0, 1, 3, 4, 6, 7, 8, 9, 11, 12};
      for (const int i : kDigitAt) {
        if (!Digit(p[i])) return std::nullopt;
      }
      if (p[2] != '-' || p[5] != '-' || p[10] != ' ') return std::nullopt;
      std::tm tm{};
      tm.tm_mday = Two(p);
      tm.tm_mon = Two(p + 3) - 1;
      tm.tm_year = Two(p + 6) * 100 + Two(p + 8) - 1900;
      tm.tm_hour = Two(p + 11);
      tm.tm_isdst = -1;
      if (tm.tm_mday < 1 || tm.tm_mday > 31 || tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_hour > 23) {
        return std::nullopt;
      }
      const std::time_t t = std::mktime(&tm);
      if (t == static_cast<std::time_t>(-1)) return std::nullopt;
      m_hourStart = t;
      std::memcpy(m_key, p, sizeof m_key);
    }
    return m_hourStart + minute * 60 + second;
  }

 private:
  char m_key[13] = {};  // "DD-MM-YYYY HH"
  std::int64_t m_hourStart = 0;
};

// The usual result line: four totals of 9 characters, each followed by a space.
constexpr std::size_t kFixedResultLength = kStampLength + 4 * 10;

// One right-aligned field of 9 and its space: spaces, then at least one
// digit. Eight of the nine characters are checked and converted at once.
inline bool Field9(const char* p, std::uint64_t& out) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  std::uint64_t x;
  std::memcpy(&x, p + 1, 8);  // byte 0 is the first character
  // Every byte a space (0x20) or a digit (0x30 to 0x39).
  if ((x & (kOnes * 0xE0)) != kOnes * 0x20) return false;
  const std::uint64_t spaces = ~x & (kOnes * 0x10);     // 0x10 in each space byte
  if ((x & ((spaces >> 4) * 0x0F)) != 0) return false;  // 0x21..0x2F are not spaces
  const std::uint64_t t = x | (kOnes * 0x10);           // spaces read as '0'
  if ((((t + kOnes * 0x06) & (kOnes * 0xF0))) != kOnes * 0x30) return false;
  // No space after a digit, and the last character a digit.
  const std::uint64_t digits = ~spaces & (kOnes * 0x10);
  if (((digits << 8) & spaces) != 0 || (digits >> 56) == 0) return false;
  const char first = p[0];
  if (first != ' ' && (!Digit(first) || spaces != 0)) return false;
  std::uint64_t v = t & (kOnes * 0x0F);
  v = (v * 2561) >> 8;
  v = ((v & 0x00FF00FF00FF00FFULL) * 6553601) >> 16;
  v = ((v & 0x0000FFFF0000FFFFULL) * 42949672960001ULL) >> 32;
  if (first != ' ') v += static_cast<std::uint64_t>(first - '0') * 100000000ULL;
  out = v;
  return p[9] == ' ';
}

bool FixedTotals(std::string_view line, std::uint64_t (&out)[4]) {
  if (line.size() != kFixedResultLength) return false;
  const char* p = line.data() + kStampLength;
  return Field9(p, out[0]) && Field9(p + 10, out[1]) && Field9(p + 20, out[2]) &&
         Field9(p + 30, out[3]);
}

// One number text: "%9d" padded, 10 digits, or the "%.3e" form of a large total.
bool ReadNumber(std::string_view& rest, std::uint64_t& out) {
  std::size_t i = 0;
  while (i < rest.size() && rest[i] == ' ') ++i;
  const std::size_t begin = i;
  std::uint64_t v = 0;
  while (i < rest.size() && Digit(rest[i])) v = v * 10 + static_cast<unsigned>(rest[i++] - '0');
  if (i == begin) return false;
  if (i < rest.size() && rest[i] == '.') {
    std::size_t end = i + 1;
    while (end < rest.size() && rest[end] != ' ') ++end;
    const std::string token(rest.substr(begin, end - begin));
    char* stop = nullptr;
    const double d = std::strtod(token.c_str(), &stop);
    if (stop != token.c_str() + token.size() || !(d >= 0) || d > 1e19) return false;
    out = static_cast<std::uint64_t>(std::llround(d));
    i = end;
  } else {
    out = v;
  }
  if (i >= rest.size() || rest[i] != ' ') return false;
  rest.remove_prefix(i + 1);
  return true;
}

// Turns the log's rows into seconds, in order.
class SecondBuilder {
 public:
  explicit SecondBuilder(const std::function<void(const SecondRecord&)>& onRecord)
      : m_onRecord(onRecord) {}

  void Result(std::int64_t t, const Counts& totals) {
    if (!m_bStarted) {
      // The start row: the test's seconds are the ticks after it.
      m_bStarted = true;
      m_cur.time = t;
      m_prev = totals;
      m_tPrevRow = t;
      m_bHaveCur = false;
      return;
    }
    if (t < m_cur.time) t = m_cur.time;  // a clock set back: keep the order
    // A total never falls; one written rounded ("1.235e+009") may seem to.
    // One field at a time: the totals were just stored field by field, and
    // copying them whole costs a stalled wide load on every line.
    const auto take = [](std::uint64_t now, std::uint64_t& before) {
      const std::uint64_t d = now > before ? now - before : 0;
      before = now;
      return d;
    };
    const Counts d{take(totals.packets, m_prev.packets), take(totals.ucErr, m_prev.ucErr),
                   take(totals.cErr, m_prev.cErr), take(totals.syncLoss, m_prev.syncLoss)};
    SpreadPackets(t, d.packets);
    m_cur.ucErr += d.ucErr;
    m_cur.cErr += d.cErr;
    m_cur.syncLoss += d.syncLoss;
    if (d.ucErr > 0 || d.cErr > 0 || d.syncLoss > 0) ++m_cur.frames;
    m_tPrevRow = t;
  }

  void Status(std::int64_t t, bool lost) {
    if (!m_bStarted) return;
    m_events.push_back({t, lost});
  }

  void Finish() {
    if (m_bHaveCur) Emit(m_cur);
    m_bHaveCur = false;
  }

 private:
  struct Event {
    std::int64_t time;
    bool lost;
  };

  void Emit(const SecondRecord& r) { m_onRecord(r); }

  LineStatus StateAt(std::int64_t s) {
    while (m_nextEvent < m_events.size() && m_events[m_nextEvent].time <= s) {
      m_bLost = m_events[m_nextEvent].lost;
      ++m_nextEvent;
    }
    if (m_bLost) return LineStatus::Lost;
    // The tick before a loss was declared was already quiet.
    if (m_nextEvent < m_events.size() && m_events[m_nextEvent].lost &&
        m_events[m_nextEvent].time == s + 1) {
      return LineStatus::Quiet;
    }
    return LineStatus::Up;
  }

  // Moves on to second t, giving the packets counted since the last row to the
  // seconds after it in which the line was up.
  void SpreadPackets(std::int64_t t, std::uint64_t total) {
    if (m_bHaveCur && t == m_cur.time) {
      m_cur.packets += total;
      return;
    }
    if (m_bHaveCur) Emit(m_cur);
    const std::int64_t first = m_tPrevRow + 1;
    std::uint64_t up = 0;
    // Count the up seconds first, without consuming the events.
    {
      const std::size_t saveNext = m_nextEvent;
      const bool saveLost = m_bLost;
      for (std::int64_t s = first; s <= t; ++s) up += StateAt(s) == LineStatus::Up ? 1 : 0;
      m_nextEvent = saveNext;
      m_bLost = saveLost;
    }
    const std::uint64_t share = up == 0 ? 0 : total / up;
    std::uint64_t left = total;
    for (std::int64_t s = first; s <= t; ++s) {
      SecondRecord r;
      r.time = s;
      r.line = StateAt(s);
      if (r.line == LineStatus::Up) {
        r.packets = s == t || share > left ? left : share;
        left -= r.packets;
      }
      if (s == t) {
        // Packets of a row whose own second was not up still count somewhere.
        r.packets += left;
        m_cur = r;
        m_bHaveCur = true;
      } else {
        Emit(r);
      }
    }
    if (m_nextEvent == m_events.size()) {
      m_events.clear();
      m_nextEvent = 0;
    }
  }

  const std::function<void(const SecondRecord&)>& m_onRecord;
  bool m_bStarted = false;
  bool m_bHaveCur = false;
  SecondRecord m_cur;
  Counts m_prev;
  std::int64_t m_tPrevRow = 0;
  std::vector<Event> m_events;
  std::size_t m_nextEvent = 0;
  bool m_bLost = false;
};

}  // namespace

bool LooksLikeLog(std::string_view text) {
  return text.starts_with(kHeader);
}

std::optional<InputError> ParseLog(std::string_view text, const std::string& name,
                                   const std::function<void(const SecondRecord&)>& onRecord) {
  if (text.empty()) return InputError{name, 0, "the file is empty"};
  SecondBuilder builder(onRecord);
  StampReader stamps;
  std::uint64_t lineNo = 0;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    ++lineNo;
    // Most lines are result lines of one length: look there before searching.
    const char* nl = nullptr;
    if (end - p > static_cast<std::ptrdiff_t>(kFixedResultLength + 1) &&
        p[kFixedResultLength + 1] == '\n') {
      nl = p + kFixedResultLength + 1;
    } else {
      nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    }
    const char* lineEnd = nl == nullptr ? end : nl;
    std::string_view line(p, static_cast<std::size_t>(lineEnd - p));
    p = nl == nullptr ? end : nl + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    if (lineNo == 1) {
      if (TrimRight(line) != kHeader) {
        return InputError{name, 1, "not a linkwatch log or per-second CSV (no column header)"};
      }
      continue;
    }
    if (line.empty() && p == end) break;      // a line end after the last line
    if (line.starts_with("     ")) continue;  // a failed start or a note of lost lines
    if (line.starts_with("   Date")) {
      if (TrimRight(line) != kHeader) return InputError{name, lineNo, "damaged column header"};
      continue;
    }
    const auto t = stamps.Read(line);
    if (!t) return InputError{name, lineNo, "expected a date and time (DD-MM-YYYY HH:MM:SS)"};
    std::string_view rest = line.substr(kStampLength);
    if (rest.starts_with("RS-232")) {
      const std::string_view what = TrimRight(rest);
      if (what == kLost) {
        builder.Status(*t, true);
      } else if (what == kBack) {
        builder.Status(*t, false);
      } else {
        return InputError{name, lineNo, "unknown status line"};
      }
      continue;
    }
    Counts c;
    std::uint64_t fixed[4];
    if (FixedTotals(line, fixed)) {
      c = {fixed[0], fixed[1], fixed[2], fixed[3]};
    } else if (!ReadNumber(rest, c.packets) || !ReadNumber(rest, c.ucErr) ||
               !ReadNumber(rest, c.cErr) || !ReadNumber(rest, c.syncLoss) ||
               !TrimRight(rest).empty()) {
      return InputError{name, lineNo, "expected four totals after the date and time"};
    }
    builder.Result(*t, c);
  }
  builder.Finish();
  return std::nullopt;
}

}  // namespace linkwatch
