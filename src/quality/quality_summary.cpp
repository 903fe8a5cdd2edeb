#include "quality/quality_summary.h"

#include <ctime>
#include <tuple>

namespace linkwatch {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

std::int64_t LocalOffset(std::int64_t t) {
  const auto tt = static_cast<std::time_t>(t);
  std::tm tm{};
  if (localtime_r(&tt, &tm) == nullptr) return 0;
  return tm.tm_gmtoff;
}

}  // namespace

void QualitySummariser::Add(const SecondRecord& r) {
  if (!m_first) {
    m_first = r.time;
    m_offset = LocalOffset(r.time);
  }
  m_last = r.time;
  m_g826.Add(r);

  const SecondClass c = Classify(r);
  const std::int64_t firstMinute = FloorDiv(*m_first, 60) * 60;
  const std::int64_t delta = r.time - firstMinute;
  if (delta >= 0 && delta < kMaxSpan) {
    const auto index = static_cast<std::size_t>(delta / 60);
    while (m_minutes.size() <= index) {
      m_minutes.push_back({firstMinute + static_cast<std::int64_t>(m_minutes.size()) * 60});
    }
    ErrorBucket& b = m_minutes[index];
    b.ucErr += r.ucErr;
    b.cErr += r.cErr;
    b.syncLoss += r.syncLoss;
    // Counted as classified here; unavailable time is shown apart.
    if (c == SecondClass::Errored || c == SecondClass::SeverelyErrored) ++b.es;
    if (c == SecondClass::SeverelyErrored) ++b.ses;
  }

  if (c == SecondClass::SeverelyErrored) {
    if (!m_sesSpans.empty() && m_sesSpans.back().end == r.time) {
      m_sesSpans.back().end = r.time + 1;
    } else {
      m_sesSpans.push_back({r.time, r.time + 1});
    }
  }

  if (r.line == LineStatus::Up) {
    if (m_lossBegin && m_bLossDeclared) m_losses.push_back({*m_lossBegin, r.time});
    m_lossBegin.reset();
    m_bLossDeclared = false;
  } else {
    if (!m_lossBegin) m_lossBegin = r.time;
    if (r.line == LineStatus::Lost) m_bLossDeclared = true;
  }
}

QualitySummary QualitySummariser::Summary(bool estimated) const {
  QualitySummary s;
  s.figures = m_g826.Figures();
  s.estimated = estimated;
  s.first = m_first;
  s.last = m_last;
  s.minutes = m_minutes;
  s.sesSpans = m_sesSpans;
  s.unavailableSpans = m_g826.UnavailableSpans();
  s.lineLosses = m_losses;
  if (m_lossBegin && m_bLossDeclared) s.lineLosses.push_back({*m_lossBegin, *m_last + 1});
  s.utcOffset = m_offset;
  const std::vector<ErrorBucket> hours = s.Hours();
  for (const ErrorBucket& h : hours) {
    if (h.es == 0 && h.ucErr == 0 && h.syncLoss == 0) continue;
    const auto key = [](const ErrorBucket& b) { return std::tie(b.ses, b.es, b.ucErr); };
    if (!s.worstHour || key(h) > key(*s.worstHour)) s.worstHour = h;
  }
  return s;
}

std::vector<ErrorBucket> QualitySummary::Hours() const {
  std::vector<ErrorBucket> hours;
  for (const ErrorBucket& m : minutes) {
    const std::int64_t hour = FloorDiv(m.begin + utcOffset, 3600) * 3600 - utcOffset;
    if (hours.empty() || hours.back().begin != hour) hours.push_back({hour});
    ErrorBucket& h = hours.back();
    h.ucErr += m.ucErr;
    h.cErr += m.cErr;
    h.syncLoss += m.syncLoss;
    h.es += m.es;
    h.ses += m.ses;
  }
  return hours;
}

}  // namespace linkwatch
