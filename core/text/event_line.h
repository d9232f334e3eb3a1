#pragma once
// The event log's lines, the same on every platform:
//
//   fired epoch_ms=<ms> utc=<yyyy-MM-ddTHH:mm:ss.zzzZ>
//   failed epoch_ms=<ms> utc=<yyyy-MM-ddTHH:mm:ss.zzzZ> reason=<text>
//
// <ms> counts milliseconds since 1970-01-01T00:00Z; utc= is the same
// instant. The reason is the rest of the line: C0 and C1 controls, DEL,
// U+2028 and U+2029 become spaces and bytes that are not UTF-8 become
// U+FFFD, so one event is always one line. The platform adds its prefix
// ("bellwick.alarm: ").

#include <cstdint>
#include <string>
#include <string_view>

namespace bellwick {

std::string firedLine(std::int64_t epochMs);
std::string failedLine(std::int64_t epochMs, std::string_view reason);

}  // namespace bellwick
