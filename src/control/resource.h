#pragma once

#include <string_view>

namespace linkwatch {

// Window template, controls, strings, system-menu commands and other resources.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_MAIN = 102;
inline constexpr int IDR_MAINFRAME = 128;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

inline constexpr int IDC_STOP = 1005;
inline constexpr int IDC_START = 1006;
inline constexpr int IDC_DURATION = 1008;
inline constexpr int IDC_DURATION_GROUP = 1010;
inline constexpr int IDC_START_TIME = 1012;
inline constexpr int IDC_START_GROUP = 1013;
inline constexpr int IDC_STOP_GROUP = 1014;
inline constexpr int IDC_STOP_TIME = 1015;
inline constexpr int IDC_ELAPSED_GROUP = 1016;
inline constexpr int IDC_ELAPSED = 1017;
inline constexpr int IDC_RESULTS = 1025;
inline constexpr int IDC_LOG_FILE = 1029;

inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDS_COM1 = 103;
inline constexpr int IDS_COM2 = 104;
inline constexpr int IDS_COM3 = 105;
inline constexpr int IDS_COM4 = 106;
inline constexpr int IDS_LOG_HEADER = 107;
inline constexpr int IDS_LOG_HEADER_REPEAT = 108;

// Own system-menu commands: multiples of 16 below the platform's own (0xF000).
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
inline constexpr unsigned IDM_COM1 = 0x0020;
inline constexpr unsigned IDM_COM2 = 0x0030;
inline constexpr unsigned IDM_COM3 = 0x0040;
inline constexpr unsigned IDM_COM4 = 0x0050;
inline constexpr unsigned kSysCommandMask = 0xFFF0;
// The serial devices listed below COM4: the separator that ends their group,
// and one command per device, from the first on in steps of 16.
inline constexpr unsigned IDM_DEVICE_SEPARATOR = 0x0060;
inline constexpr unsigned IDM_DEVICE_FIRST = 0x0100;
inline constexpr unsigned kMaxDeviceItems = 64;

inline constexpr int ID_TICK_TIMER = 1;
inline constexpr int kTickMilliseconds = 1000;

// The string table; an unknown id gives an empty text.
std::string_view LoadString(int id);

}  // namespace linkwatch
