#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <string>
#include <string_view>

namespace linkwatch {

// The core's texts are 8-bit strings in the locale's encoding; paths are the
// file system's own bytes.
inline QString ToQString(std::string_view text) {
  return QString::fromLocal8Bit(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

inline std::string ToPathBytes(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace linkwatch
