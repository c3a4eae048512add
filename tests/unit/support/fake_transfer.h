#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/transfer_port.h"

namespace tessary::testing {

// Answers GETs from scripts kept by stack and URL; a URL without a script cannot be connected to.
class FakeTransfer : public platform::TransferPort {
public:
    struct Script {
        std::optional<platform::TransferStep> failAt;  // opening fails at this step
        platform::Status failure = 12029;              // with this code
        platform::TransferAnswer answer{200, 0, std::nullopt, std::nullopt, L""};
        std::vector<std::string> chunks;
        // The read of this chunk fails (query or read), with readFailure.
        std::optional<std::size_t> failChunk;
        bool failQuery = false;
        platform::Status readFailure = 12030;
        // Runs when the request is opened, on the thread of the attempt.
        std::function<void(const platform::TransferRequest&)> onOpen;
        // Runs before each chunk is handed out, with its index.
        std::function<void(std::size_t)> beforeChunk;
    };

    platform::TransferOpening Open(const platform::TransferRequest& request) override;
    std::wstring SystemErrorText(platform::Status status) const override;

    // A body with a Content-Length, in chunks of the given sizes.
    static Script Body(const std::string& body, std::optional<std::uint64_t> length, std::size_t chunkSize = 1000);
    void Serve(platform::HttpStack stack, const std::wstring& url, Script script);
    void ServeBoth(const std::wstring& url, const Script& script);
    std::vector<platform::TransferRequest> Requests() const;

    // Codes the "system" has a text for; others have none.
    std::map<platform::Status, std::wstring> errorTexts{
        {12029, L"Cannot connect.\r\n"}, {12030, L"Connection aborted.\r\n"}, {2, L"File not found.\r\n"},
        {3, L"Path not found.\r\n"},     {112, L"Disk full.\r\n"},            {12007, L"Name not resolved.\r\n"},
        {12002, L"Timed out.\r\n"}};

private:
    mutable std::mutex m_mutex;
    std::map<std::pair<platform::HttpStack, std::wstring>, Script> m_scripts;
    std::vector<platform::TransferRequest> m_requests;
};

}  // namespace tessary::testing
