#pragma once

namespace tessary::testing {

// True unless nothing accepts connections on localhost:443, where the stand-in service answers.
bool ServiceListens();

}  // namespace tessary::testing
