#include "ui/accessible_controls.h"

#include <QAccessibleWidget>
#include <QComboBox>

#include "ui/push_like_check_box.h"

namespace linkwatch {

namespace {

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

class NamedListAccessible : public QAccessibleWidget {
 public:
  explicit NamedListAccessible(QComboBox* combo)
      : QAccessibleWidget(combo, QAccessible::ComboBox) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Combo()->currentText();
    return QAccessibleWidget::text(t);
  }

  QStringList actionNames() const override {
    return widget()->isEnabled() ? QStringList{showMenuAction(), pressAction()} : QStringList{};
  }

  void doAction(const QString& action) override {
    if ((action == showMenuAction() || action == pressAction()) && widget()->isEnabled()) {
      Combo()->showPopup();
    }
  }

 private:
  QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (className == QLatin1String("linkwatch::PushLikeCheckBox")) {
    if (auto* button = qobject_cast<PushLikeCheckBox*>(object))
      return new PushLikeAccessible(button);
  }
  if (className == QLatin1String("QComboBox")) {
    auto* combo = qobject_cast<QComboBox*>(object);
    if (combo != nullptr && !combo->isEditable() && !combo->accessibleName().isEmpty()) {
      return new NamedListAccessible(combo);
    }
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleControls() {
  static const bool installed = [] {
    QAccessible::installFactory(Factory);
    return true;
  }();
  (void)installed;
}

}  // namespace linkwatch
