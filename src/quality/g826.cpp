#include "quality/g826.h"

namespace linkwatch {

SecondClass Classify(const SecondRecord& r) {
  if (r.line != LineStatus::Up) return SecondClass::NotMeasured;
  // ucERR >= 30 % of the packets, in integers so that no rounding decides it.
  if (r.syncLoss != 0 || (r.ucErr != 0 && r.ucErr * 10 >= r.packets * 3)) {
    return SecondClass::SeverelyErrored;
  }
  if (r.ucErr != 0) return SecondClass::Errored;
  return SecondClass::Clean;
}

void G826Accumulator::Tally::Count(SecondClass c, const SecondRecord& r) {
  ++seconds;
  if (c == SecondClass::Errored || c == SecondClass::SeverelyErrored) ++es;
  if (c == SecondClass::SeverelyErrored) {
    ++ses;
  } else {
    bbe += r.ucErr;
    bbePackets += r.packets;
  }
}

void G826Accumulator::Tally::AddTo(Tally& other) const {
  other.seconds += seconds;
  other.es += es;
  other.ses += ses;
  other.bbe += bbe;
  other.bbePackets += bbePackets;
}

void G826Accumulator::Commit(const Tally& t, bool unavailable) {
  if (unavailable) {
    m_nUnavailable += t.seconds;
  } else {
    t.AddTo(m_available);
  }
}

void G826Accumulator::Add(const SecondRecord& r) {
  m_nPackets += r.packets;
  m_nUcErr += r.ucErr;
  m_nCErr += r.cErr;
  m_nSyncLoss += r.syncLoss;
  m_tLast = r.time;
  const SecondClass c = Classify(r);
  if (c == SecondClass::NotMeasured) {
    ++m_nNotMeasured;
    return;
  }
  // A second that would switch the state joins the pending run; any other
  // settles the run in the state that holds and counts there itself.
  const bool ses = c == SecondClass::SeverelyErrored;
  const bool towardsSwitch = m_bUnavailable ? !ses : ses;
  if (!towardsSwitch) {
    Commit(m_pending, m_bUnavailable);
    m_pending = {};
    Tally one;
    one.Count(c, r);
    Commit(one, m_bUnavailable);
    return;
  }
  if (m_pending.seconds == 0) m_tPendingBegin = r.time;
  m_pending.Count(c, r);
  if (m_pending.seconds < kRunToSwitch) return;
  // Ten in a row: the run belongs to the new state from its first second.
  m_bUnavailable = !m_bUnavailable;
  if (m_bUnavailable) {
    m_tUnavailableBegin = m_tPendingBegin;
  } else {
    m_spans.push_back({m_tUnavailableBegin, m_tPendingBegin});
  }
  Commit(m_pending, m_bUnavailable);
  m_pending = {};
}

G826Figures G826Accumulator::Figures() const {
  Tally available = m_available;
  std::uint64_t unavailable = m_nUnavailable;
  if (m_bUnavailable) {
    unavailable += m_pending.seconds;
  } else {
    m_pending.AddTo(available);
  }
  G826Figures f;
  f.secondsMeasured = available.seconds + unavailable;
  f.secondsNotMeasured = m_nNotMeasured;
  f.secondsTotal = f.secondsMeasured + f.secondsNotMeasured;
  f.secondsAvailable = available.seconds;
  f.secondsUnavailable = unavailable;
  f.es = available.es;
  f.ses = available.ses;
  f.bbe = available.bbe;
  f.bbePackets = available.bbePackets;
  f.packets = m_nPackets;
  f.ucErr = m_nUcErr;
  f.cErr = m_nCErr;
  f.syncLoss = m_nSyncLoss;
  return f;
}

std::vector<TimeSpan> G826Accumulator::UnavailableSpans() const {
  std::vector<TimeSpan> spans = m_spans;
  if (m_bUnavailable) spans.push_back({m_tUnavailableBegin, m_tLast + 1});
  return spans;
}

namespace {

std::optional<double> Ratio(std::uint64_t num, std::uint64_t den) {
  if (den == 0) return std::nullopt;
  return static_cast<double>(num) / static_cast<double>(den);
}

}  // namespace

std::optional<double> G826Figures::Esr() const {
  return Ratio(es, secondsAvailable);
}
std::optional<double> G826Figures::Sesr() const {
  return Ratio(ses, secondsAvailable);
}
std::optional<double> G826Figures::Bber() const {
  return Ratio(bbe, bbePackets);
}
std::optional<double> G826Figures::Availability() const {
  return Ratio(secondsAvailable, secondsMeasured);
}

}  // namespace linkwatch
