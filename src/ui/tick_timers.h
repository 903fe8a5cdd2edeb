#pragma once

#include <QTimer>

#include <functional>
#include <map>
#include <memory>

namespace linkwatch {

// Repeating timers known by number: setting a number that runs already
// restarts it with the new period, killing one that does not run does
// nothing. Each expiry calls onTick with the timer's number.
class TickTimers {
 public:
  explicit TickTimers(std::function<void(int)> onTick);

  void Set(int id, int milliseconds);
  void Kill(int id);
  bool IsActive(int id) const;
  // The period of a running timer; 0 when it does not run.
  int Interval(int id) const;

 private:
  std::function<void(int)> m_onTick;
  std::map<int, std::unique_ptr<QTimer>> m_timers;
};

}  // namespace linkwatch
