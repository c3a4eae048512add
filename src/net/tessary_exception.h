#pragma once
#include <stdexcept>
#include <string>

namespace tessary {

// A failed exchange with the remote service.
class TessaryException : public std::runtime_error {
public:
    explicit TessaryException(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace tessary
