#pragma once

#include <chrono>

namespace dv {

/// The waits of an FTP session. Every network wait is bounded by one of these, so that a dead or
/// stalled server ends a transfer with `failed` instead of holding the caller.
struct CurlFtpOptions {
    /// Name lookup plus the TCP connection, per connection attempt.
    std::chrono::milliseconds connectTimeout{15000};
    /// How long to wait for any one reply of the server on the control connection (whole seconds).
    std::chrono::seconds responseTimeout{15};
    /// A transfer that moves fewer than `stallBytesPerSecond` bytes per second for this long is
    /// given up (whole seconds, at least 1).
    std::chrono::seconds stallTime{15};
    long stallBytesPerSecond = 1;
};

} // namespace dv
