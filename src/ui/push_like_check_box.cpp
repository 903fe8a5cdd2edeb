#include "ui/push_like_check_box.h"

namespace linkwatch {

PushLikeCheckBox::PushLikeCheckBox(const QString& text, QWidget* parent)
    : QPushButton(text, parent) {
  setCheckable(true);
  // Enter on it is the dialog's OK, not a click of its own.
  setAutoDefault(false);
}

}  // namespace linkwatch
