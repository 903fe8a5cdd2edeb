#pragma once

#include <QListWidget>

namespace linkwatch {

// A bordered list used as a one-line read-only display: nothing can be
// selected, and it never takes the keyboard focus.
class OneLineList : public QListWidget {
  Q_OBJECT

 public:
  explicit OneLineList(QWidget* parent = nullptr);

  // Inserts before index; an index outside the list appends.
  void Insert(int index, const QString& text);
};

}  // namespace linkwatch
