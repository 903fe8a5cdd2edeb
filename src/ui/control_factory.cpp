#include "ui/control_factory.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/one_line_list.h"
#include "ui/push_like_check_box.h"
#include "ui/results_view.h"

namespace linkwatch {

namespace {

QWidget* CreateByKind(ControlKind kind, const QString& text, QWidget* parent) {
  switch (kind) {
    case ControlKind::ComboBox: {
      auto* combo = new QComboBox(parent);
      combo->setInsertPolicy(QComboBox::NoInsert);
      return combo;
    }
    case ControlKind::PushButton: {
      auto* button = new QPushButton(text, parent);
      // A focused push button takes Enter as its own click.
      button->setAutoDefault(true);
      return button;
    }
    case ControlKind::PushLikeCheckBox:
      return new PushLikeCheckBox(text, parent);
    case ControlKind::GroupBox: {
      // A frame only: the controls drawn inside it are its siblings, so each
      // is enabled and disabled on its own.
      auto* group = new QGroupBox(text, parent);
      // Created after the controls it frames, it lies above them; a frame
      // must let their clicks and wheel turns through.
      group->setAttribute(Qt::WA_TransparentForMouseEvents);
      // The title sits on the frame's top line, as the template's positions
      // expect, not above it.
      group->setStyleSheet(QStringLiteral(
          "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.5em; }"
          "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
          " left: 6px; padding: 0 2px; }"));
      return group;
    }
    case ControlKind::ListBox:
      return new OneLineList(parent);
    case ControlKind::ListView:
      return new ResultsView(parent);
    case ControlKind::StaticText: {
      auto* label = new QLabel(parent);
      // It shows file paths: '<' and '&' are characters, not markup.
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setWordWrap(false);
      label->setText(text);
      return label;
    }
  }
  return nullptr;
}

}  // namespace

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent) {
  QWidget* widget = CreateByKind(control.kind, QString::fromLatin1(control.text), parent);
  if (control.tabStop) {
    widget->setFocusPolicy(Qt::StrongFocus);
  } else if (control.kind != ControlKind::ListView) {
    widget->setFocusPolicy(Qt::NoFocus);
  }
  widget->setHidden(!control.visible);
  return widget;
}

}  // namespace linkwatch
