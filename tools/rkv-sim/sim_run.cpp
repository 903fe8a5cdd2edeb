#include "sim_run.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "base/sys_error.h"
#include "frame_source.h"
#include "link_file.h"
#include "send_queue.h"
#include "sim_line.h"

namespace linkwatch::sim {
namespace {

constexpr int kStepMs = 20;
// Unwritten bytes after which no further frame is drawn: the schedule slips
// rather than piling up when the line cannot take them.
constexpr std::size_t kQueueAhead = 64;
// Line time that may be saved up, so that pacing stays smooth after a pause.
constexpr double kMaxTokens = kLineBytesPerSecond * 0.1;
constexpr double kLingerSeconds = 2.0;

class SimRun {
 public:
  SimRun(const SimOptions& o, std::uint64_t seed, std::ostream& out, std::ostream& err,
         const volatile std::sig_atomic_t& stop)
      : m_o(o),
        m_source(o, seed),
        m_out(out),
        m_err(err),
        m_stop(stop),
        m_burstDone(o.bursts.size(), false),
        m_unplugDone(o.unplugs.size(), false) {
    if (!o.link.empty()) m_link = std::make_unique<LinkFile>(o.link);
  }

  int Run();

 private:
  double Elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
  }
  bool InGap(double t) const {
    return std::any_of(m_o.gaps.begin(), m_o.gaps.end(),
                       [t](const TimedEvent& g) { return t >= g.at && t < g.at + g.value; });
  }
  bool FrameLimitReached() const { return m_o.frames && m_framesQueued >= *m_o.frames; }

  bool OpenLine();
  void CloseLine();
  void QueueFrames(bool allowNoise);
  bool HandleEvents(double t);
  bool WriteSome(std::size_t allowance, bool& blocked);
  void Wait(bool blocked) const;
  void Linger() const;

  SimOptions m_o;
  FrameSource m_source;
  SendQueue m_queue;
  std::ostream& m_out;
  std::ostream& m_err;
  const volatile std::sig_atomic_t& m_stop;
  std::optional<SimLine> m_line;
  std::unique_ptr<LinkFile> m_link;
  std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
  std::vector<bool> m_burstDone, m_unplugDone;
  double m_replugAt = 0.0;
  double m_frameCredit = 1.0;  // the first frame goes at once
  double m_tokens = 0.0;
  std::size_t m_unpaced = 0;  // bytes of a burst still to go out without pacing
  std::uint64_t m_framesQueued = 0;
  bool m_fresh = true;  // nothing queued on this line yet
};

bool SimRun::OpenLine() {
  std::string error;
  m_line = m_o.device.empty() ? SimLine::NewPty(error) : SimLine::OpenDevice(m_o.device, error);
  if (!m_line) {
    m_err << "rkv-sim: " << error << '\n';
    return false;
  }
  if (m_link) {
    if (error = m_link->Point(m_line->Path()); !error.empty()) {
      m_err << "rkv-sim: " << error << '\n';
      return false;
    }
  }
  m_out << "device: " << m_line->Path() << std::endl;
  m_fresh = true;
  return true;
}

void SimRun::CloseLine() {
  if (!m_line) return;
  m_queue.Unread(m_line->TakeUnread());
  if (m_link) m_link->Remove();
  m_line.reset();
  // What was not written goes with the line: the next one starts on a frame.
  m_queue.DropPending();
  m_unpaced = 0;
}

void SimRun::QueueFrames(bool allowNoise) {
  // The receiver may be in the middle of a frame when a line starts, so a
  // line never starts with noise that could complete it.
  for (const StreamUnit& unit : m_source.Next(allowNoise && !m_fresh)) m_queue.Push(unit);
  m_fresh = false;
  ++m_framesQueued;
}

bool SimRun::HandleEvents(double t) {
  for (std::size_t i = 0; i < m_o.unplugs.size(); ++i) {
    if (m_unplugDone[i] || t < m_o.unplugs[i].at) continue;
    m_unplugDone[i] = true;
    if (!m_line) continue;
    CloseLine();
    m_replugAt = t + m_o.unplugs[i].value;
  }
  if (!m_line && t >= m_replugAt && !OpenLine()) return false;
  for (std::size_t i = 0; i < m_o.bursts.size(); ++i) {
    if (m_burstDone[i] || t < m_o.bursts[i].at || !m_line) continue;
    m_burstDone[i] = true;
    const std::size_t target = m_queue.Size() + static_cast<std::size_t>(m_o.bursts[i].value);
    while (m_queue.Size() < target && !FrameLimitReached()) QueueFrames(false);
    m_unpaced = m_queue.Size();
  }
  return true;
}

bool SimRun::WriteSome(std::size_t allowance, bool& blocked) {
  const auto pending = m_queue.Pending();
  const std::size_t n = std::min(allowance, pending.size());
  if (n == 0) return true;
  const ssize_t r = ::write(m_line->Fd(), pending.data(), n);
  if (r < 0) {
    if (errno == EAGAIN || errno == EINTR) {
      blocked = errno == EAGAIN;  // the reader is behind: wait, drop nothing
      return true;
    }
    m_err << "rkv-sim: write to " << m_line->Path() << ": " << SysErrorText(errno) << '\n';
    return false;
  }
  const auto written = static_cast<std::size_t>(r);
  m_queue.Written(written);
  const std::size_t fromBurst = std::min(written, m_unpaced);
  m_unpaced -= fromBurst;
  m_tokens = std::max(0.0, m_tokens - static_cast<double>(written - fromBurst));
  return true;
}

void SimRun::Wait(bool blocked) const {
  // Both waits end early on a signal, so SIGINT and SIGTERM act within a step.
  if (blocked && m_line) {
    pollfd pfd{m_line->Fd(), POLLOUT, 0};
    ::poll(&pfd, 1, kStepMs);
  } else {
    ::poll(nullptr, 0, kStepMs);
  }
}

void SimRun::Linger() const {
  if (!m_line) return;
  const double until = Elapsed() + kLingerSeconds;
  int empty = 0;
  while (!m_stop && empty < 2 && Elapsed() < until) {
    empty = m_line->Queued() == 0 ? empty + 1 : 0;
    Wait(false);
  }
}

int SimRun::Run() {
  if (!OpenLine()) return 1;
  int status = 0;
  double last = 0.0;
  while (!m_stop) {
    const double t = Elapsed();
    if (m_o.duration && t >= *m_o.duration) break;
    if (FrameLimitReached() && m_queue.Size() == 0) break;
    if (!HandleEvents(t)) {
      status = 1;
      break;
    }
    const double dt = t - last;
    last = t;
    const bool quiet = !m_line || InGap(t);
    bool blocked = false;
    if (!quiet) {
      m_frameCredit = std::min(m_frameCredit + dt * m_o.rate, 4.0);
      m_tokens = std::min(m_tokens + dt * kLineBytesPerSecond, kMaxTokens);
      while (m_frameCredit >= 1.0 && m_queue.Size() < kQueueAhead && !FrameLimitReached()) {
        QueueFrames(true);
        m_frameCredit -= 1.0;
      }
      if (!WriteSome(m_unpaced + static_cast<std::size_t>(m_tokens), blocked)) {
        status = 1;
        break;
      }
    } else {
      m_tokens = 0.0;
    }
    Wait(blocked);
  }
  if (!m_stop && status == 0) Linger();
  CloseLine();
  m_out << SummaryLine(m_queue.Summary()) << std::endl;
  return status;
}

}  // namespace

int RunSim(const SimOptions& options, std::uint64_t seed, std::ostream& out, std::ostream& err,
           const volatile std::sig_atomic_t& stop) {
  return SimRun(options, seed, out, err, stop).Run();
}

}  // namespace linkwatch::sim
