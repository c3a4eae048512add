#pragma once
#include <algorithm>
#include <utility>
#include <vector>

#include "config/ordered_substitution.h"

namespace tessary {

// A small map that iterates in insertion order and never overwrites: the placeholder tables
// depend on their order ({commonpf} resolves through {commonpf64}, package texts through earlier
// entries), which a hash map would scramble.
template <typename Key, typename Value>
class InsertionOrderedMap {
public:
    using Entry = std::pair<Key, Value>;

    // Adds the entry unless the key is already present; true when it was added.
    bool Insert(Key key, Value value) {
        if (Find(key) != nullptr) return false;
        m_entries.emplace_back(std::move(key), std::move(value));
        return true;
    }

    const Value* Find(const Key& key) const {
        const auto found =
            std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& entry) { return entry.first == key; });
        return found == m_entries.end() ? nullptr : &found->second;
    }

    bool Contains(const Key& key) const { return Find(key) != nullptr; }
    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

private:
    std::vector<Entry> m_entries;
};

// Replaces every "{name}" of each entry, in the map's order, left to right. A replacement is not
// searched again for the same name, but later entries do see it.
template <typename String>
String ExpandBracedPlaceholders(const String& text, const InsertionOrderedMap<String, String>& table) {
    using Char = typename String::value_type;
    std::vector<String> patterns;
    patterns.reserve(table.size());
    for (const auto& entry : table) {
        String pattern;
        pattern.push_back(static_cast<Char>('{'));
        pattern += entry.first;
        pattern.push_back(static_cast<Char>('}'));
        patterns.push_back(std::move(pattern));
    }
    std::vector<Substitution<Char>> substitutions;
    substitutions.reserve(table.size());
    auto pattern = patterns.begin();
    for (const auto& entry : table) substitutions.emplace_back(*pattern++, entry.second);
    return SubstituteInOrder<Char>(text, substitutions);
}

}  // namespace tessary
