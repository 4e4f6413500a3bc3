// The pieces of JSON text a dump is made of.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tilerush::sim {

// The shortest text that reads back as the same double; null for NaN and infinity.
void appendNumber(std::string& out, double value);
void appendInteger(std::string& out, std::int64_t value);
void appendBool(std::string& out, bool value);
// A JSON string: quotes, backslashes and control characters escaped.
void appendString(std::string& out, std::string_view text);
// `"key": ` with the separator before it unless it is the first member.
void appendKey(std::string& out, std::string_view key, bool& first);

}  // namespace tilerush::sim
