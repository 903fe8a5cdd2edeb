#include "ui/one_line_list.h"

namespace linkwatch {

OneLineList::OneLineList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::NoSelection);
  setFocusPolicy(Qt::NoFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  setUniformItemSizes(true);
  setTextElideMode(Qt::ElideNone);
}

void OneLineList::Insert(int index, const QString& text) {
  if (index < 0 || index > count()) index = count();
  insertItem(index, text);
}

}  // namespace linkwatch
