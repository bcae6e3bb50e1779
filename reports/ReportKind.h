#pragma once

namespace strikeline {

// The two reports; the values are the refresh-request numbers of their views.
enum class ReportKind { Call = 0, Put = 1 };

} // namespace strikeline
