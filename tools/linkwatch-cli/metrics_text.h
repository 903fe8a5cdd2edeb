#pragma once

#include <string>
#include <string_view>

#include "metrics_observer.h"

namespace linkwatch::cli {

// The media type of the Prometheus text exposition format.
inline constexpr const char* kMetricsContentType = "text/plain; version=0.0.4; charset=utf-8";

// A label value as the text format writes it between double quotes: a
// backslash, a double quote and a line feed escaped.
std::string EscapeLabelValue(std::string_view value);

// The figures in the Prometheus text exposition format: HELP and TYPE lines
// and one sample for each metric, each labelled with the port.
std::string RenderMetrics(const MetricsFigures& figures);

}  // namespace linkwatch::cli
