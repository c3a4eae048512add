#include "config/wizard_type.h"

namespace tessary {

const std::map<std::wstring, int>& WizardTypeMap() {
    static const std::map<std::wstring, int> map{
        {L"DLM", static_cast<int>(WizardType::Dlm)},
        {L"ISV", static_cast<int>(WizardType::Isv)},
    };
    return map;
}

int LookUpWizardType(const std::wstring& key) {
    const auto& map = WizardTypeMap();
    const auto found = map.find(key);
    return found == map.end() ? static_cast<int>(WizardType::Unknown) : found->second;
}

}  // namespace tessary
