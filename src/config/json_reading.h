#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tessary {

// Typed reading of the configuration document. Every function throws the JSON library's
// type_error for a value of the wrong type; the Required forms throw its out_of_range when the
// key is missing, the Optional forms give the fallback instead.

// A number as an integer: floating values are truncated, booleans count as 0 or 1, and values
// beyond the target's range saturate at its limits instead of wrapping.
std::int64_t ReadInteger64(const nlohmann::json& value);
int ReadInteger(const nlohmann::json& value);

std::string RequiredString(const nlohmann::json& object, const char* key);
std::string OptionalString(const nlohmann::json& object, const char* key, std::string fallback = {});
bool OptionalBool(const nlohmann::json& object, const char* key, bool fallback = false);
int OptionalInteger(const nlohmann::json& object, const char* key, int fallback);
std::int64_t OptionalInteger64(const nlohmann::json& object, const char* key, std::int64_t fallback);
std::vector<std::string> OptionalStrings(const nlohmann::json& object, const char* key);

// The member itself, or nullptr when the object lacks it. A value that is not an object is a
// type error, so a misplaced list never passes for an empty object.
const nlohmann::json* FindMember(const nlohmann::json& object, const char* key);

}  // namespace tessary
