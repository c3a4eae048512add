#include "install/zip_entry_data.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace tessary {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;

// Hands each unpacked piece on and keeps count and checksum of what went.
class CheckedOutput {
public:
    CheckedOutput(platform::OutputFile& out, std::uint64_t declared) : m_out(out), m_declared(declared) {}

    std::string Put(const char* data, std::size_t size) {
        if (size > m_declared - m_written) return "more data than declared";
        if (!m_out.Write(data, size)) return "cannot be written";
        m_crc = crc32(m_crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(size));
        m_written += size;
        return {};
    }

    std::string Finish(std::uint32_t expectedCrc) const {
        if (m_written != m_declared) return "less data than declared";
        if (m_crc != expectedCrc) return "checksum mismatch";
        return {};
    }

private:
    platform::OutputFile& m_out;
    std::uint64_t m_declared;
    std::uint64_t m_written = 0;
    uLong m_crc = crc32(0, nullptr, 0);
};

// Reads the entry's compressed data piece by piece.
class EntryInput {
public:
    EntryInput(platform::InputFile& archive, const ZipEntry& entry)
        : m_archive(archive), m_at(entry.dataOffset), m_left(entry.compressedSize), m_buffer(kChunk) {}

    bool Done() const { return m_left == 0; }

    // The next piece, or an empty one when the archive cannot be read.
    std::pair<const char*, std::size_t> Next() {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(m_left, m_buffer.size()));
        const auto read = m_archive.ReadAt(m_at, m_buffer.data(), want);
        if (!read || *read != want) return {nullptr, 0};
        m_at += want;
        m_left -= want;
        return {m_buffer.data(), want};
    }

private:
    platform::InputFile& m_archive;
    std::uint64_t m_at;
    std::uint64_t m_left;
    std::vector<char> m_buffer;
};

std::string CopyStored(EntryInput& input, CheckedOutput& output) {
    while (!input.Done()) {
        const auto [data, size] = input.Next();
        if (size == 0) return "archive cannot be read";
        if (auto problem = output.Put(data, size); !problem.empty()) return problem;
    }
    return {};
}

struct InflateEnd {
    void operator()(z_stream* stream) const { inflateEnd(stream); }
};

std::string Inflate(EntryInput& input, CheckedOutput& output) {
    z_stream stream{};
    // Raw deflate: the archive keeps no zlib header around an entry's data.
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return "cannot start inflating";
    const std::unique_ptr<z_stream, InflateEnd> ending(&stream);
    std::vector<char> unpacked(kChunk);
    bool wantsInput = true;
    for (;;) {
        if (wantsInput && stream.avail_in == 0) {
            if (input.Done()) return "data ends early";
            const auto [data, size] = input.Next();
            if (size == 0) return "archive cannot be read";
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
            stream.avail_in = static_cast<uInt>(size);
        }
        stream.next_out = reinterpret_cast<Bytef*>(unpacked.data());
        stream.avail_out = static_cast<uInt>(unpacked.size());
        const int result = inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) return "data is damaged";
        const std::size_t produced = unpacked.size() - stream.avail_out;
        if (auto problem = output.Put(unpacked.data(), produced); !problem.empty()) return problem;
        if (result == Z_STREAM_END) return {};
        // With room to write, no progress is possible only for want of input.
        if (result == Z_BUF_ERROR && stream.avail_in != 0) return "data is damaged";
        // A full buffer may leave output pending inside zlib: it is fetched before more is read.
        wantsInput = stream.avail_out != 0;
    }
}

}  // namespace

std::string UnpackEntryData(platform::InputFile& archive, const ZipEntry& entry, platform::OutputFile& out) {
    EntryInput input(archive, entry);
    CheckedOutput output(out, entry.size);
    std::string problem;
    if (entry.method == kStored) {
        problem = CopyStored(input, output);
    } else if (entry.method == kDeflated) {
        problem = Inflate(input, output);
    } else {
        return "compression method not supported";
    }
    return problem.empty() ? output.Finish(entry.crc32) : problem;
}

}  // namespace tessary
