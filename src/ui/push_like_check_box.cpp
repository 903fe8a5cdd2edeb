#include "ui/push_like_check_box.h"

#include <QAccessibleWidget>

namespace linkwatch {

namespace {

// Qt announces every checkable button as a check box.
class PushLikeAccessible : public QAccessibleWidget {
 public:
  explicit PushLikeAccessible(PushLikeCheckBox* button)
      : QAccessibleWidget(button, QAccessible::Button) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
      QString name = Button()->text();
      name.remove(QLatin1Char('&'));
      return name;
    }
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.pressed = Button()->isChecked();
    return s;
  }

  QStringList actionNames() const override {
    return widget()->isEnabled() ? QStringList{pressAction()} : QStringList{};
  }

  void doAction(const QString& action) override {
    if (action == pressAction() && widget()->isEnabled()) Button()->click();
  }

 private:
  PushLikeCheckBox* Button() const { return static_cast<PushLikeCheckBox*>(widget()); }
};

QAccessibleInterface* PushLikeFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("linkwatch::PushLikeCheckBox")) return nullptr;
  auto* button = qobject_cast<PushLikeCheckBox*>(object);
  return button == nullptr ? nullptr : new PushLikeAccessible(button);
}

}  // namespace

PushLikeCheckBox::PushLikeCheckBox(const QString& text, QWidget* parent)
    : QPushButton(text, parent) {
  static const bool installed = [] {
    QAccessible::installFactory(PushLikeFactory);
    return true;
  }();
  (void)installed;
  setCheckable(true);
  // Enter on it is the dialog's OK, not a click of its own.
  setAutoDefault(false);
}

}  // namespace linkwatch
