#include "config/json_reading.h"

#include <cmath>
#include <limits>

namespace tessary {
namespace {

using json = nlohmann::json;

template <typename Int>
Int Saturate(std::int64_t value) {
    if (value < std::numeric_limits<Int>::min()) return std::numeric_limits<Int>::min();
    if (value > std::numeric_limits<Int>::max()) return std::numeric_limits<Int>::max();
    return static_cast<Int>(value);
}

// A double outside the range of the integer would make the cast undefined; the document is
// remote input, so it saturates instead.
std::int64_t TruncateDouble(double value) {
    constexpr double kLimit = 9223372036854775808.0;  // 2^63, exactly representable
    if (std::isnan(value)) return 0;
    if (value >= kLimit) return std::numeric_limits<std::int64_t>::max();
    if (value < -kLimit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

}  // namespace

std::int64_t ReadInteger64(const json& value) {
    switch (value.type()) {
        case json::value_t::boolean:
            return value.get<bool>() ? 1 : 0;
        case json::value_t::number_integer:
            return value.get<std::int64_t>();
        case json::value_t::number_unsigned: {
            const auto unsignedValue = value.get<std::uint64_t>();
            const auto max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
            return unsignedValue > max ? std::numeric_limits<std::int64_t>::max()
                                       : static_cast<std::int64_t>(unsignedValue);
        }
        case json::value_t::number_float:
            return TruncateDouble(value.get<double>());
        default:
            // Lets the library raise its own type error for strings, objects, null and the rest.
            return value.get<std::int64_t>();
    }
}

int ReadInteger(const json& value) { return Saturate<int>(ReadInteger64(value)); }

const json* FindMember(const json& object, const char* key) {
    const auto& members = object.get_ref<const json::object_t&>();
    const auto found = members.find(key);
    return found == members.end() ? nullptr : &found->second;
}

std::string RequiredString(const json& object, const char* key) { return object.at(key).get<std::string>(); }

std::string OptionalString(const json& object, const char* key, std::string fallback) {
    const json* member = FindMember(object, key);
    return member ? member->get<std::string>() : std::move(fallback);
}

bool OptionalBool(const json& object, const char* key, bool fallback) {
    const json* member = FindMember(object, key);
    return member ? member->get<bool>() : fallback;
}

int OptionalInteger(const json& object, const char* key, int fallback) {
    const json* member = FindMember(object, key);
    return member ? ReadInteger(*member) : fallback;
}

std::int64_t OptionalInteger64(const json& object, const char* key, std::int64_t fallback) {
    const json* member = FindMember(object, key);
    return member ? ReadInteger64(*member) : fallback;
}

std::vector<std::string> OptionalStrings(const json& object, const char* key) {
    const json* member = FindMember(object, key);
    return member ? member->get<std::vector<std::string>>() : std::vector<std::string>();
}

}  // namespace tessary
