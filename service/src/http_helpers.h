#pragma once
// Pieces every endpoint handler uses.
#include <httplib.h>

#include <string>

namespace tessary::service {

// Answers 400 with a one-line reason and logs it, so a misbehaving client is visible in the log.
void Refuse(const httplib::Request& request, httplib::Response& response, const std::string& reason);

// The request's headers as a compact JSON object (name -> value; repeated names joined with ", "),
// in the order the client sent them. The pseudo-headers the HTTP library adds about the connection
// are left out, and an Expect header the TLS front removed is shown as the client sent it.
std::string HeadersJson(const httplib::Request& request);

// One line on standard error, whole even when several threads log at once.
void LogLine(const std::string& text);

}  // namespace tessary::service
