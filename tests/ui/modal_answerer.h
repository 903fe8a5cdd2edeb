#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

namespace linkwatch::testing {

// What a message box showed when it was answered.
struct SeenBox {
  QString title;
  QString text;
  QString detail;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  Qt::TextFormat textFormat = Qt::AutoText;
  Qt::TextFormat detailFormat = Qt::AutoText;
  Qt::WindowModality modality = Qt::NonModal;
};

// Plays the user for modal boxes: each box, as soon as the event loop it runs
// gets going, is handed to the next scripted action. A box nobody scripted
// fails the test and is dismissed, so that no test can hang on one; an action
// left unused when the answerer goes fails the test too. The main window is
// never taken for a box.
class ModalAnswerer {
 public:
  ModalAnswerer();
  ~ModalAnswerer();
  ModalAnswerer(const ModalAnswerer&) = delete;
  ModalAnswerer& operator=(const ModalAnswerer&) = delete;

  // Clicks button on the next box, which must be a message box.
  void Answer(QMessageBox::StandardButton button);
  // Runs act on the next modal widget of any kind; act must end it.
  void Handle(std::function<void(QWidget&)> act);

  const std::vector<SeenBox>& Seen() const { return m_seen; }
  bool Idle() const { return m_actions.empty(); }

 private:
  void Poll();

  std::deque<std::function<void(QWidget&)>> m_actions;
  std::vector<SeenBox> m_seen;
  QTimer m_timer;
  bool m_bActing = false;  // an action may run an event loop of its own
};

SeenBox Describe(const QMessageBox& box);

}  // namespace linkwatch::testing
