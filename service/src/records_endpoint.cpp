#include <sstream>

#include "endpoints.h"
#include "record_listing.h"

namespace tessary::service {

void RecordsEndpoint::HandleEvents(const httplib::Request& request, httplib::Response& response) {
    std::ostringstream lines;
    PrintEvents(m_store.Events(request.get_param_value("since")), lines);
    response.status = 200;
    response.set_content(lines.str(), "text/plain; charset=utf-8");
}

}  // namespace tessary::service
