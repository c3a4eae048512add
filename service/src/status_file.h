#pragma once
// Statuses a file tells the service to answer with instead of 200, so the wizard's retry rules can be
// exercised: one number answers every request; several ("503 200") answer the first, second...
// request in turn, the last one repeating. The file is read at every request, so a test may write
// it while the service runs.
#include <cstddef>
#include <filesystem>
#include <vector>

namespace tessary::service {

// The statuses from 100 to 599 in the file, in order; none when there is no file.
std::vector<int> ReadStatuses(const std::filesystem::path& file);

// The status for the request that has index answered requests before it: 200 when there are none.
int StatusInTurn(const std::vector<int>& statuses, std::size_t index);

}  // namespace tessary::service
