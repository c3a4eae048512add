#pragma once
#include <map>
#include <string>

namespace tessary {

enum class WizardType { Unknown = 0, Dlm = 1, Isv = 2 };

// The wizard keys a build may carry, with the flavour each selects.
const std::map<std::wstring, int>& WizardTypeMap();

// The type number of a wizard key; 0 for a key the map does not hold.
int LookUpWizardType(const std::wstring& key);

}  // namespace tessary
