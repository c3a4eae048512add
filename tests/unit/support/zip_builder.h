#pragma once
// ZIP archives built in memory for the tests, with zlib, so that no binary archive is checked in.
// Every field a hostile archive might lie in can be set apart from the data.
#include <zlib.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessary::testing {

struct ZipItem {
    std::string name{};
    std::string data{};
    std::uint16_t method = 8;  // 0 stored, 8 deflated; others are written stored but labelled so
    std::uint16_t flags = 0;
    std::optional<std::uint32_t> declaredSize{};  // instead of the data's real size
    std::optional<std::uint32_t> declaredCrc{};   // instead of the data's real CRC-32
    std::optional<std::string> packed{};          // written instead of the data, packed as the method says
};

inline std::string RawDeflate(const std::string& data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2");
    }
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate");
    return out;
}

inline std::uint32_t Crc32(const std::string& data) {
    return static_cast<std::uint32_t>(
        crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

inline void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

inline void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

inline std::string BuildZip(const std::vector<ZipItem>& items, const std::string& comment = {}) {
    std::string archive;
    std::string directory;
    for (const auto& item : items) {
        const std::string packed = item.packed ? *item.packed : item.method == 8 ? RawDeflate(item.data) : item.data;
        const std::uint32_t crc = item.declaredCrc.value_or(Crc32(item.data));
        const std::uint32_t size = item.declaredSize.value_or(static_cast<std::uint32_t>(item.data.size()));
        const auto offset = static_cast<std::uint32_t>(archive.size());
        auto common = [&](std::string& out) {
            Put16(out, 20);  // version needed
            Put16(out, item.flags);
            Put16(out, item.method);
            Put16(out, 0);     // time
            Put16(out, 0x21);  // date
            Put32(out, crc);
            Put32(out, static_cast<std::uint32_t>(packed.size()));
            Put32(out, size);
            Put16(out, static_cast<std::uint32_t>(item.name.size()));
            Put16(out, 0);  // extra
        };
        Put32(archive, 0x04034B50);
        common(archive);
        archive += item.name;
        archive += packed;

        Put32(directory, 0x02014B50);
        Put16(directory, 20);  // made by
        common(directory);
        Put16(directory, 0);  // comment
        Put16(directory, 0);  // disk
        Put16(directory, 0);  // internal attributes
        Put32(directory, 0);  // external attributes
        Put32(directory, offset);
        directory += item.name;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
    archive += directory;
    Put32(archive, 0x06054B50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<std::uint32_t>(items.size()));
    Put16(archive, static_cast<std::uint32_t>(items.size()));
    Put32(archive, static_cast<std::uint32_t>(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, static_cast<std::uint32_t>(comment.size()));
    archive += comment;
    return archive;
}

}  // namespace tessary::testing
