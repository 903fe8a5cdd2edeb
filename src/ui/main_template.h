#pragma once

#include <array>

#include "control/resource.h"
#include "ui/dialog_units.h"

namespace linkwatch {

enum class ControlKind {
  ComboBox,
  PushButton,
  PushLikeCheckBox,
  GroupBox,
  ListBox,
  ListView,
  StaticText,
};

struct ControlTemplate {
  int id;  // -1 for a control the program never addresses
  ControlKind kind;
  const char* text;
  DluRect rect;
  bool visible;
  bool tabStop;
};

inline constexpr const char* kMainCaption = "RKV-3520";
inline constexpr DluSize kMainSize{320, 228};

// The main window's controls in creation order, which is also the tab order
// and the drawing order.
inline constexpr std::array<ControlTemplate, 13> kMainControls{{
    {IDC_DURATION, ControlKind::ComboBox, "", {21, 81, 71, 65}, true, true},
    {IDC_STOP, ControlKind::PushButton, "STOP", {110, 10, 55, 19}, false, true},
    {IDC_DURATION_GROUP, ControlKind::GroupBox, "Test Duration", {15, 70, 80, 32}, true, false},
    {IDC_ELAPSED_GROUP, ControlKind::GroupBox, "Time Elapsed", {210, 20, 87, 32}, true, false},
    {IDC_ELAPSED, ControlKind::ListBox, "", {215, 34, 77, 13}, true, false},
    {IDC_START_GROUP, ControlKind::GroupBox, "Start Date/Time", {109, 70, 86, 32}, true, false},
    {IDC_START_TIME, ControlKind::ListBox, "", {113, 82, 75, 13}, true, false},
    {IDC_STOP_GROUP, ControlKind::GroupBox, "Stop Date/Time", {207, 70, 88, 32}, true, false},
    {IDC_STOP_TIME, ControlKind::ListBox, "", {213, 83, 75, 13}, true, false},
    {IDC_START, ControlKind::PushLikeCheckBox, "START", {30, 10, 54, 19}, true, true},
    {IDC_RESULTS, ControlKind::ListView, "List1", {8, 105, 305, 115}, true, false},
    {IDC_LOG_FILE, ControlKind::StaticText, "Log File", {22, 51, 170, 12}, true, false},
    {-1, ControlKind::GroupBox, "Current Log File", {15, 40, 180, 25}, true, false},
}};

}  // namespace linkwatch
