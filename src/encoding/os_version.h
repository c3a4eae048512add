#pragma once
#include <string>

namespace tessary {

// "major.minor.build" of the running system as the kernel reports it; empty when unknown.
std::string OsVersionString();

}  // namespace tessary
