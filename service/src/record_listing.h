#pragma once
// The records as text for shell tests and the demo: one line per record, fields separated by tabs.
#include <ostream>
#include <vector>

#include "record_store.h"

namespace tessary::service {

// received, "code=" code, "package=" package, the Authorization value, the event data, "table="
// table, "status=" the status answered, the headers as JSON in the order received.
void PrintEvents(const std::vector<EventRecord>& events, std::ostream& out);
// received, "status=" status, "document=" document, the headers as JSON, the body.
void PrintConfigRequests(const std::vector<ConfigRequestRecord>& requests, std::ostream& out);

}  // namespace tessary::service
