#include "fake_transfer.h"

#include <algorithm>
#include <cstring>

namespace tessary::testing {
namespace {

class FakeBody : public platform::TransferBody {
public:
    explicit FakeBody(FakeTransfer::Script script) : m_script(std::move(script)) {}

    const platform::TransferAnswer& Answer() const override { return m_script.answer; }

    platform::Result<std::uint32_t> QueryAvailable() override {
        if (!Next(true)) return platform::Failure{m_script.readFailure};
        if (m_chunk >= m_script.chunks.size()) return std::uint32_t{0};
        return static_cast<std::uint32_t>(m_script.chunks[m_chunk].size() - m_offset);
    }

    platform::Result<std::size_t> Read(char* buffer, std::size_t size) override {
        if (!Next(false)) return platform::Failure{m_script.readFailure};
        if (m_chunk >= m_script.chunks.size()) return std::size_t{0};
        const std::string& chunk = m_script.chunks[m_chunk];
        const std::size_t count = std::min(size, chunk.size() - m_offset);
        std::memcpy(buffer, chunk.data() + m_offset, count);
        m_offset += count;
        if (m_offset == chunk.size()) {
            ++m_chunk;
            m_offset = 0;
            m_announced = false;
        }
        return count;
    }

private:
    // Announces the chunk about to be handed out once; false when its query or read is to fail.
    bool Next(bool query) {
        if (m_chunk < m_script.chunks.size() && !m_announced) {
            m_announced = true;
            if (m_script.beforeChunk) m_script.beforeChunk(m_chunk);
        }
        return !(m_script.failChunk == m_chunk && m_script.failQuery == query);
    }

    FakeTransfer::Script m_script;
    std::size_t m_chunk = 0;
    std::size_t m_offset = 0;
    bool m_announced = false;
};

}  // namespace

platform::TransferOpening FakeTransfer::Open(const platform::TransferRequest& request) {
    Script script;
    {
        const std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        const auto found = m_scripts.find({request.stack, request.url});
        if (found == m_scripts.end()) {
            const auto step = request.stack == platform::HttpStack::WinHttp ? platform::TransferStep::Connect
                                                                           : platform::TransferStep::OpenUrl;
            return {nullptr, step, 12029};
        }
        script = found->second;
    }
    if (script.onOpen) script.onOpen(request);
    if (script.failAt) return {nullptr, *script.failAt, script.failure};
    if (script.answer.finalUrl.empty()) script.answer.finalUrl = request.url;
    return {std::make_unique<FakeBody>(std::move(script)), platform::TransferStep::Session, 0};
}

std::wstring FakeTransfer::SystemErrorText(platform::Status status) const {
    const auto found = errorTexts.find(status);
    return found == errorTexts.end() ? std::wstring() : found->second;
}

FakeTransfer::Script FakeTransfer::Body(const std::string& body, std::optional<std::uint64_t> length,
                                        std::size_t chunkSize) {
    Script script;
    script.answer.contentLength = length;
    for (std::size_t at = 0; at < body.size(); at += chunkSize) script.chunks.push_back(body.substr(at, chunkSize));
    return script;
}

void FakeTransfer::Serve(platform::HttpStack stack, const std::wstring& url, Script script) {
    const std::lock_guard lock(m_mutex);
    m_scripts[{stack, url}] = std::move(script);
}

void FakeTransfer::ServeBoth(const std::wstring& url, const Script& script) {
    Serve(platform::HttpStack::WinHttp, url, script);
    Serve(platform::HttpStack::WinInet, url, script);
}

std::vector<platform::TransferRequest> FakeTransfer::Requests() const {
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

}  // namespace tessary::testing
