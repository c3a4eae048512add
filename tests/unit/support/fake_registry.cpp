#include "fake_registry.h"

#include <cwctype>
#include <tuple>

namespace tessary::testing {
namespace {

using platform::Failure;
using platform::RegistryRoot;
using platform::RegistryView;

// The statuses the registry functions answer with.
constexpr platform::Status kMoreData = 234;          // ERROR_MORE_DATA
constexpr platform::Status kUnsupportedType = 1630;  // ERROR_UNSUPPORTED_TYPE

std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::vector<std::wstring> Split(const std::wstring& path) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const auto end = std::min(path.find(L'\\', start), path.size());
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The narrow interface of the fake reads and writes Latin-1, like the fake text port.
std::wstring Widen(const std::string& text) {
    std::wstring out;
    for (char c : text) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

struct FakeRegistry::Node {
    std::wstring name;                                              // as created
    std::map<std::wstring, std::shared_ptr<Node>> children;         // by lower-cased name, so in that order
    std::map<std::wstring, std::pair<std::wstring, Value>> values;  // lower-cased name → (name, value)
};

class FakeRegistry::FakeKey : public platform::OpenRegistryKey {
public:
    explicit FakeKey(Location location) : location(std::move(location)) {}
    Location location;
};

bool FakeRegistry::Location::operator<(const Location& other) const {
    return std::tie(root, components) < std::tie(other.root, other.components);
}

// HKLM\Software seen from the 32-bit view is HKLM\Software\Wow6432Node. A path that already names
// Wow6432Node is not sent there twice.
std::vector<std::wstring> FakeRegistry::Redirect(RegistryRoot root, std::vector<std::wstring> names,
                                                 RegistryView view) const {
    bool thirtyTwoBitView = false;
    switch (machine) {
        case Machine::Windows32:
            break;
        case Machine::Process64:
            thirtyTwoBitView = view == RegistryView::Force32;
            break;
        case Machine::Wow64Process:
            thirtyTwoBitView = view != RegistryView::Force64;
            break;
    }
    if (thirtyTwoBitView && root == RegistryRoot::LocalMachine && !names.empty() && Lower(names[0]) == L"software" &&
        (names.size() < 2 || Lower(names[1]) != L"wow6432node")) {
        names.insert(names.begin() + 1, L"Wow6432Node");
    }
    return names;
}

FakeRegistry::Location FakeRegistry::Resolve(RegistryRoot root, std::vector<std::wstring> components,
                                             RegistryView view) const {
    components = Redirect(root, std::move(components), view);
    for (auto& component : components) component = Lower(component);
    return {root, std::move(components)};
}

const FakeRegistry::Node* FakeRegistry::Find(const Location& location) const {
    const auto root = m_roots.find(location.root);
    if (root == m_roots.end()) return nullptr;
    const Node* node = root->second.get();
    for (const auto& component : location.components) {
        const auto child = node->children.find(component);
        if (child == node->children.end()) return nullptr;
        node = child->second.get();
    }
    return node;
}

FakeRegistry::Node& FakeRegistry::Create(RegistryRoot root, const std::vector<std::wstring>& names) {
    auto& top = m_roots[root];
    if (!top) top = std::make_shared<Node>();
    Node* node = top.get();
    for (const auto& name : names) {
        auto& child = node->children[Lower(name)];
        if (!child) {
            child = std::make_shared<Node>();
            child->name = name;
        }
        node = child.get();
    }
    return *node;
}

FakeRegistry::KeyFailure FakeRegistry::FailureOf(const Location& location) const {
    const auto found = m_failures.find(location);
    return found == m_failures.end() ? KeyFailure{} : found->second;
}

platform::Result<platform::RegistryKeyPtr> FakeRegistry::Open(const Location& location) const {
    ++m_counts.opens;
    if (const auto status = FailureOf(location).open) return Failure{status};
    if (!Find(location)) return Failure{platform::kFileNotFound};
    return platform::RegistryKeyPtr(std::make_unique<FakeKey>(location));
}

const FakeRegistry::Node* FakeRegistry::NodeOf(const platform::OpenRegistryKey& key) const {
    return Find(dynamic_cast<const FakeKey&>(key).location);
}

platform::Result<FakeRegistry::Value> FakeRegistry::Read(const platform::OpenRegistryKey& key,
                                                         const std::wstring& subkey, const std::wstring& name) const {
    ++m_counts.reads;
    Location location = dynamic_cast<const FakeKey&>(key).location;
    for (const auto& component : Split(subkey)) location.components.push_back(Lower(component));
    if (const auto status = FailureOf(location).read) return Failure{status};
    const Node* node = Find(location);
    if (!node) return Failure{platform::kFileNotFound};
    const auto value = node->values.find(Lower(name));
    if (value == node->values.end()) return Failure{platform::kFileNotFound};
    return value->second.second;
}

// --- the port ----------------------------------------------------------------------------------

platform::Result<platform::RegistryKeyPtr> FakeRegistry::OpenKey(RegistryRoot root, const std::wstring& path,
                                                                 RegistryView view) const {
    std::lock_guard lock(m_mutex);
    return Open(Resolve(root, Split(path), view));
}

platform::Result<platform::RegistryKeyPtr> FakeRegistry::OpenSubkey(const platform::OpenRegistryKey& parent,
                                                                    const std::wstring& path, RegistryView view) const {
    std::lock_guard lock(m_mutex);
    const auto& from = dynamic_cast<const FakeKey&>(parent).location;
    auto components = from.components;
    for (const auto& component : Split(path)) components.push_back(component);
    return Open(Resolve(from.root, components, view));
}

platform::Result<void> FakeRegistry::TestKey(RegistryRoot root, const std::wstring& path, RegistryView view) const {
    const auto key = OpenKey(root, path, view);
    if (!key) return Failure{key.GetStatus()};
    return {};
}

platform::SubkeyNames FakeRegistry::EnumerateSubkeys(const platform::OpenRegistryKey& key) const {
    std::lock_guard lock(m_mutex);
    ++m_counts.enumerations;
    const auto failure = FailureOf(dynamic_cast<const FakeKey&>(key).location);
    if (failure.queryInfo) return {false, Failure{failure.queryInfo}};
    const Node* node = NodeOf(key);
    // The key was deleted while open.
    if (!node) return {false, Failure{1018}};  // ERROR_KEY_DELETED
    if (failure.enumerate) return {true, Failure{failure.enumerate}};
    std::vector<std::wstring> names;
    for (const auto& [lower, child] : node->children) names.push_back(child->name);
    return {true, std::move(names)};
}

platform::Result<platform::RegistryType> FakeRegistry::GetValueType(const platform::OpenRegistryKey& key,
                                                                    const std::wstring& name) const {
    std::lock_guard lock(m_mutex);
    const auto value = Read(key, L"", name);
    if (!value) return Failure{value.GetStatus()};
    return value->type;
}

// A REG_EXPAND_SZ value read as REG_SZ comes back expanded, as Windows does it; the fake's
// texts hold no variables, so that is the text as stored.
platform::Result<std::wstring> FakeRegistry::ReadString(const platform::OpenRegistryKey& key,
                                                        const std::wstring& subkey, const std::wstring& name) const {
    std::lock_guard lock(m_mutex);
    const auto value = Read(key, subkey, name);
    if (!value) return Failure{value.GetStatus()};
    if (value->type != platform::kRegSz && value->type != platform::kRegExpandSz) return Failure{kUnsupportedType};
    return value->text;
}

platform::Result<std::wstring> FakeRegistry::ReadExpandString(const platform::OpenRegistryKey& key,
                                                              const std::wstring& name) const {
    std::lock_guard lock(m_mutex);
    const auto value = Read(key, L"", name);
    if (!value) return Failure{value.GetStatus()};
    if (value->type != platform::kRegExpandSz) return Failure{kUnsupportedType};
    return value->text;
}

platform::Result<std::uint32_t> FakeRegistry::ReadDword(const platform::OpenRegistryKey& key,
                                                        const std::wstring& name) const {
    std::lock_guard lock(m_mutex);
    const auto value = Read(key, L"", name);
    if (!value) return Failure{value.GetStatus()};
    if (value->type != platform::kRegDword) return Failure{kUnsupportedType};
    return static_cast<std::uint32_t>(value->number);
}

platform::Result<std::uint64_t> FakeRegistry::ReadQword(const platform::OpenRegistryKey& key,
                                                        const std::wstring& name) const {
    std::lock_guard lock(m_mutex);
    const auto value = Read(key, L"", name);
    if (!value) return Failure{value.GetStatus()};
    if (value->type != platform::kRegQword) return Failure{kUnsupportedType};
    return value->number;
}

// The narrow read copies the value's bytes: a string in Latin-1 with its terminator, a number in
// little-endian order. A buffer too small for them is ERROR_MORE_DATA.
platform::Result<std::vector<std::uint8_t>> FakeRegistry::QueryValueNarrow(RegistryRoot root, const std::string& path,
                                                                           const std::string& valueName,
                                                                           RegistryView view,
                                                                           std::size_t bufferSize) const {
    std::lock_guard lock(m_mutex);
    const auto key = OpenKey(root, Widen(path), view);
    if (!key) return Failure{key.GetStatus()};
    const auto value = Read(**key, L"", Widen(valueName));
    if (!value) return Failure{value.GetStatus()};
    std::vector<std::uint8_t> bytes;
    if (value->type == platform::kRegSz || value->type == platform::kRegExpandSz) {
        for (wchar_t c : value->text) bytes.push_back(static_cast<std::uint8_t>(c < 0x100 ? c : '?'));
        bytes.push_back(0);
    } else {
        const std::size_t size = value->type == platform::kRegQword ? 8 : 4;
        for (std::size_t i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value->number >> (8 * i)));
    }
    if (bytes.size() > bufferSize) return Failure{kMoreData};
    return bytes;
}

platform::ProcessorSpeed FakeRegistry::ReadProcessorSpeed() const {
    std::lock_guard lock(m_mutex);
    const auto key = OpenKey(RegistryRoot::LocalMachine, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                             RegistryView::Force64);
    if (!key) return {false, Failure{key.GetStatus()}};
    const auto value = Read(**key, L"", L"~MHz");
    if (!value) return {true, Failure{value.GetStatus()}};
    // Four bytes are read whatever the type; only a REG_DWORD fits them here.
    if (value->type != platform::kRegDword) return {true, Failure{kMoreData}};
    return {true, static_cast<std::uint32_t>(value->number)};
}

platform::Result<void> FakeRegistry::WriteDword(RegistryRoot root, const std::wstring& path, RegistryView view,
                                                const std::wstring& valueName, std::uint32_t value) {
    std::lock_guard lock(m_mutex);
    ++m_counts.writes;
    const auto names = Redirect(root, Split(path), view);
    if (const auto status = FailureOf(Resolve(root, Split(path), view)).write) return Failure{status};
    Create(root, names).values[Lower(valueName)] = {valueName, Value{platform::kRegDword, {}, value}};
    return {};
}

// --- setting it up -----------------------------------------------------------------------------

void FakeRegistry::CreateKey(RegistryRoot root, const std::wstring& path, RegistryView view) {
    std::lock_guard lock(m_mutex);
    Create(root, Redirect(root, Split(path), view));
}

void FakeRegistry::SetValue(RegistryRoot root, const std::wstring& path, const std::wstring& name, Value value,
                            RegistryView view) {
    std::lock_guard lock(m_mutex);
    Create(root, Redirect(root, Split(path), view)).values[Lower(name)] = {name, std::move(value)};
}

void FakeRegistry::SetString(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                             const std::wstring& text, RegistryView view) {
    SetValue(root, path, name, {platform::kRegSz, text, 0}, view);
}

void FakeRegistry::SetExpandString(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                                   const std::wstring& text, RegistryView view) {
    SetValue(root, path, name, {platform::kRegExpandSz, text, 0}, view);
}

void FakeRegistry::SetDword(RegistryRoot root, const std::wstring& path, const std::wstring& name, std::uint32_t number,
                            RegistryView view) {
    SetValue(root, path, name, {platform::kRegDword, {}, number}, view);
}

void FakeRegistry::SetQword(RegistryRoot root, const std::wstring& path, const std::wstring& name, std::uint64_t number,
                            RegistryView view) {
    SetValue(root, path, name, {platform::kRegQword, {}, number}, view);
}

void FakeRegistry::DeleteKey(RegistryRoot root, const std::wstring& path, RegistryView view) {
    std::lock_guard lock(m_mutex);
    auto location = Resolve(root, Split(path), view);
    if (location.components.empty()) {
        m_roots.erase(root);
        return;
    }
    const auto last = location.components.back();
    location.components.pop_back();
    if (auto* parent = const_cast<Node*>(Find(location))) parent->children.erase(last);
}

void FakeRegistry::FailKey(RegistryRoot root, const std::wstring& path, KeyFailure failure, RegistryView view) {
    std::lock_guard lock(m_mutex);
    m_failures[Resolve(root, Split(path), view)] = failure;
}

std::optional<FakeRegistry::Value> FakeRegistry::GetValue(RegistryRoot root, const std::wstring& path,
                                                          const std::wstring& name, RegistryView view) const {
    std::lock_guard lock(m_mutex);
    const Node* node = Find(Resolve(root, Split(path), view));
    if (!node) return std::nullopt;
    const auto value = node->values.find(Lower(name));
    if (value == node->values.end()) return std::nullopt;
    return value->second.second;
}

FakeRegistry::Counts FakeRegistry::GetCounts() const {
    std::lock_guard lock(m_mutex);
    return m_counts;
}

void FakeRegistry::ResetCounts() {
    std::lock_guard lock(m_mutex);
    m_counts = {};
}

}  // namespace tessary::testing
