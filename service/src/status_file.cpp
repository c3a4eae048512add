#include "status_file.h"

#include <algorithm>
#include <sstream>

#include "file_utils.h"

namespace tessary::service {

std::vector<int> ReadStatuses(const std::filesystem::path& file) {
    std::vector<int> statuses;
    if (const auto text = ReadWholeFile(file)) {
        std::istringstream in(*text);
        int status = 0;
        while (in >> status) {
            if (status >= 100 && status <= 599) statuses.push_back(status);
        }
    }
    return statuses;
}

int StatusInTurn(const std::vector<int>& statuses, std::size_t index) {
    if (statuses.empty()) return 200;
    return statuses[std::min(index, statuses.size() - 1)];
}

}  // namespace tessary::service
