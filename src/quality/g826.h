#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "quality/second_record.h"

namespace linkwatch {

// A block is a packet, an errored block a packet counted in ucERR, a second a
// tick. Seconds whose line was quiet or lost are not measured.
enum class SecondClass : std::uint8_t { NotMeasured, Clean, Errored, SeverelyErrored };

SecondClass Classify(const SecondRecord& r);

// A stretch of unavailable time: [begin, end) in calendar seconds.
struct TimeSpan {
  std::int64_t begin = 0;
  std::int64_t end = 0;
  friend bool operator==(const TimeSpan&, const TimeSpan&) = default;
};

struct G826Figures {
  std::uint64_t secondsTotal = 0;
  std::uint64_t secondsMeasured = 0;
  std::uint64_t secondsNotMeasured = 0;
  std::uint64_t secondsAvailable = 0;
  std::uint64_t secondsUnavailable = 0;
  std::uint64_t es = 0;
  std::uint64_t ses = 0;
  std::uint64_t bbe = 0;
  // Packets in available seconds that are not SES: the blocks BBE is out of.
  std::uint64_t bbePackets = 0;
  std::uint64_t packets = 0;
  std::uint64_t ucErr = 0;
  std::uint64_t cErr = 0;
  std::uint64_t syncLoss = 0;

  // Undefined (no available second, no packet, nothing measured) is nullopt,
  // never a made-up 0 or 1.
  std::optional<double> Esr() const;
  std::optional<double> Sesr() const;
  std::optional<double> Bber() const;
  std::optional<double> Availability() const;

  friend bool operator==(const G826Figures&, const G826Figures&) = default;
};

// The G.826 figures of a test, one second at a time, so that they can be shown
// live. Unavailable time begins with the first of 10 consecutive SES and ends
// with the first of 10 consecutive non-SES; until a run is decided its seconds
// are held apart, and Figures() counts them in the state that holds now, which
// is what they become if the test ends here. Seconds not measured neither
// count in a run nor break it.
class G826Accumulator {
 public:
  static constexpr int kRunToSwitch = 10;

  void Add(const SecondRecord& r);
  G826Figures Figures() const;
  bool Unavailable() const { return m_bUnavailable; }
  // The unavailable stretches so far, the one still open ending after the
  // last second added.
  std::vector<TimeSpan> UnavailableSpans() const;

 private:
  struct Tally {
    std::uint64_t seconds = 0, es = 0, ses = 0, bbe = 0, bbePackets = 0;
    void Count(SecondClass c, const SecondRecord& r);
    void AddTo(Tally& other) const;
  };

  void Commit(const Tally& t, bool unavailable);

  bool m_bUnavailable = false;
  Tally m_available;
  std::uint64_t m_nUnavailable = 0;
  Tally m_pending;  // the run that may switch the state
  std::int64_t m_tPendingBegin = 0;
  std::int64_t m_tLast = 0;
  std::uint64_t m_nNotMeasured = 0;
  std::uint64_t m_nPackets = 0, m_nUcErr = 0, m_nCErr = 0, m_nSyncLoss = 0;
  std::vector<TimeSpan> m_spans;  // closed ones
  std::int64_t m_tUnavailableBegin = 0;
};

}  // namespace linkwatch
