#pragma once

#include <QPushButton>

namespace linkwatch {

// A check box drawn as a push button whose state only the program sets: a
// click reports itself but leaves the state as it was.
class PushLikeCheckBox : public QPushButton {
  Q_OBJECT

 public:
  explicit PushLikeCheckBox(const QString& text, QWidget* parent = nullptr);

 protected:
  void nextCheckState() override {}
};

}  // namespace linkwatch
