#pragma once

#include <QLabel>

#include <cstddef>
#include <string>

namespace linkwatch {

// What the status line under the results table tells.
struct StatusFacts {
  enum class Line { Idle, Up, Quiet, Lost };
  enum class Log { Closed, Open, Failing };

  std::string port;    // "COM1"
  std::string device;  // the device the port stands for, "/dev/ttyS0"
  Line line = Line::Idle;
  std::size_t rows = 0;
  Log log = Log::Closed;
  std::size_t keptBytes = 0;  // written later, once the log takes them again
  friend bool operator==(const StatusFacts&, const StatusFacts&) = default;
};

// "COM1: /dev/ttyS0 | line up | 12 rows | log open"; device stands in for
// facts.device, so that a long path can be shortened to fit.
QString StatusText(const StatusFacts& facts, const QString& device);
QString StatusText(const StatusFacts& facts);

// One line of plain text under the table. Where it is too narrow, the middle
// of the device path gives way; the whole text is the tooltip.
class StatusLine : public QLabel {
  Q_OBJECT

 public:
  explicit StatusLine(QWidget* parent = nullptr);
  void Show(const StatusFacts& facts);
  const StatusFacts& Facts() const { return m_facts; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Render();

  StatusFacts m_facts;
  bool m_bShown = false;
};

}  // namespace linkwatch
