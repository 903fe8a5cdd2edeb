#include "ui/status_line.h"

#include "ui/qt_text.h"

#include <QFontMetrics>

#include <algorithm>

namespace linkwatch {

namespace {

QString LineText(StatusFacts::Line line) {
  switch (line) {
    case StatusFacts::Line::Idle:
      return QStringLiteral("not running");
    case StatusFacts::Line::Up:
      return QStringLiteral("line up");
    case StatusFacts::Line::Quiet:
      return QStringLiteral("line quiet");
    case StatusFacts::Line::Lost:
      return QStringLiteral("line lost");
  }
  return {};
}

QString LogText(const StatusFacts& facts) {
  switch (facts.log) {
    case StatusFacts::Log::Closed:
      return QStringLiteral("log closed");
    case StatusFacts::Log::Open:
      return QStringLiteral("log open");
    case StatusFacts::Log::Failing:
      return QStringLiteral("log failing, %1 bytes kept").arg(facts.keptBytes);
  }
  return {};
}

}  // namespace

QString StatusText(const StatusFacts& facts) {
  return StatusText(facts, ToQString(facts.device));
}

QString StatusText(const StatusFacts& facts, const QString& device) {
  const QString port = ToQString(facts.port);
  const QString where = facts.device.empty() || facts.device == facts.port
                            ? port
                            : port + QStringLiteral(": ") + device;
  const QString rows =
      facts.rows == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(facts.rows);
  return where + QStringLiteral(" | ") + LineText(facts.line) + QStringLiteral(" | ") + rows +
         QStringLiteral(" | ") + LogText(facts);
}

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
  // Device paths are characters, not markup.
  setTextFormat(Qt::PlainText);
  setWordWrap(false);
  setMargin(0);
  setIndent(0);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setFocusPolicy(Qt::NoFocus);
  // Its text is what a screen reader reads out.
  setAccessibleDescription(QStringLiteral("Status"));
}

void StatusLine::Show(const StatusFacts& facts) {
  // Asked after every event the window passes on: only a change costs a repaint.
  if (m_bShown && facts == m_facts) return;
  m_facts = facts;
  m_bShown = true;
  Render();
}

void StatusLine::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  if (m_bShown) Render();
}

void StatusLine::Render() {
  const QString full = StatusText(m_facts);
  setToolTip(full);
  const QFontMetrics metrics(font());
  if (metrics.horizontalAdvance(full) <= width() || m_facts.device == m_facts.port) {
    setText(full);
    return;
  }
  const QString device = ToQString(m_facts.device);
  const int others = metrics.horizontalAdvance(StatusText(m_facts, QString()));
  setText(StatusText(m_facts,
                     metrics.elidedText(device, Qt::ElideMiddle, std::max(0, width() - others))));
}

}  // namespace linkwatch
