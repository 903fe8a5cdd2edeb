#include "ui/tick_timers.h"

namespace linkwatch {

TickTimers::TickTimers(std::function<void(int)> onTick) : m_onTick(std::move(onTick)) {}

void TickTimers::Set(int id, int milliseconds) {
  std::unique_ptr<QTimer>& timer = m_timers[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    // A one-second tick should not wander by the 5% a coarse timer allows.
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, [this, id] { m_onTick(id); });
  }
  timer->start(milliseconds);
}

void TickTimers::Kill(int id) {
  const auto it = m_timers.find(id);
  if (it != m_timers.end()) it->second->stop();
}

bool TickTimers::IsActive(int id) const {
  const auto it = m_timers.find(id);
  return it != m_timers.end() && it->second->isActive();
}

int TickTimers::Interval(int id) const {
  return IsActive(id) ? m_timers.at(id)->interval() : 0;
}

}  // namespace linkwatch
