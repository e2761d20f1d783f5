// Fuzz target for the FTP address reader.
//
// The input is an address as a user types it on the command line. Whatever it holds, reading it
// must not crash; an address that reads must have a port in range and a server name, and its file
// path must survive the way to the server: encoded for the URL and decoded again it is the same.

#include "net/FtpUrl.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<dv::FtpUrl> url = dv::ParseFtpUrl(text, error);
    if (!url) {
        Check(!error.empty());
        return 0;
    }
    Check(url->endpoint.port >= 1 && url->endpoint.port <= 65535);
    Check(!url->endpoint.server.empty());
    std::string encodeError;
    if (const std::optional<std::string> encoded = dv::EncodeFtpPath(url->path, encodeError)) {
        const std::optional<std::string> decoded = dv::PercentDecode(*encoded);
        Check(decoded.has_value() && *decoded == url->path);
    } else {
        Check(!encodeError.empty());
    }
    return 0;
}
