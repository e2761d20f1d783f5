#include "net/FtpUrl.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace dv {

namespace {

// ---- Character classes

bool IsUnreserved(unsigned char c) {
    return std::isalnum(c) != 0 || c == '-' || c == '.' || c == '_' || c == '~';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

void AppendEncoded(std::string& out, std::string_view segment) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : segment) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnreserved(byte)) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0f];
        }
    }
}

bool IsValidHostName(std::string_view host) {
    return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '.' || c == '_';
    });
}

bool IsValidIpv6Literal(std::string_view host) {
    return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '.';
    });
}

} // namespace

std::optional<std::string> PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::optional<std::string> EncodeFtpPath(std::string_view path, std::string& error) {
    if (path.empty()) {
        error = "no server file given";
        return std::nullopt;
    }
    if (HasControlCharacter(path)) {
        error = "the server file name contains a control character";
        return std::nullopt;
    }
    if (path.back() == '/') {
        error = "\"" + std::string(path) + "\" names a folder, not a file";
        return std::nullopt;
    }
    std::string out;
    if (path.front() == '/') {
        // A leading "%2F" is the URL form of a path that starts at the server's root.
        out = "%2F";
        path.remove_prefix(1);
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = path.find('/', start);
        const std::string_view segment = path.substr(start, slash - start);
        if (segment == "." || segment == "..") {
            // Escaped, or URL handling would fold "a/../b" into "b" before the server sees it.
            for (std::size_t i = 0; i < segment.size(); ++i) {
                out += "%2E";
            }
        } else {
            AppendEncoded(out, segment);
        }
        if (slash == std::string_view::npos) {
            break;
        }
        out += '/';
        start = slash + 1;
    }
    return out;
}

std::optional<FtpUrl> ParseFtpUrl(std::string_view url, std::string& error) {
    static constexpr std::string_view kScheme = "ftp://";
    const auto fail = [&error](std::string reason) {
        error = "FTP address: " + std::move(reason);
        return std::nullopt;
    };
    if (url.size() < kScheme.size() ||
        !std::equal(kScheme.begin(), kScheme.end(), url.begin(), [](char a, char b) {
            return a == std::tolower(static_cast<unsigned char>(b));
        })) {
        return fail("it does not start with \"ftp://\"");
    }
    std::string_view rest = url.substr(kScheme.size());
    if (rest.find_first_of("?#") != std::string_view::npos) {
        return fail(
            "a query (\"?\") or fragment (\"#\") is not allowed; write them as %3F and %23");
    }
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) {
        return fail("no file path after the server name");
    }
    std::string_view authority = rest.substr(0, slash);
    const std::string_view rawPath = rest.substr(slash + 1);

    FtpUrl result;
    // The user part ends at the last "@", so that an unescaped "@" in a password still works.
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        authority.remove_prefix(at + 1);
        const std::size_t colon = userInfo.find(':');
        const auto login = PercentDecode(userInfo.substr(0, colon));
        if (!login || login->empty()) {
            return fail(login ? "the user name is empty" : "the user name has a bad %-escape");
        }
        result.endpoint.login = *login;
        if (colon != std::string_view::npos) {
            const auto password = PercentDecode(userInfo.substr(colon + 1));
            if (!password) {
                return fail("the password has a bad %-escape");
            }
            result.endpoint.password = *password;
        }
    }

    std::string_view host = authority;
    std::string_view portText;
    if (!host.empty() && host.front() == '[') {
        const std::size_t close = host.find(']');
        if (close == std::string_view::npos) {
            return fail("the IPv6 address has no closing \"]\"");
        }
        portText = host.substr(close + 1);
        host = host.substr(1, close - 1);
        if (!IsValidIpv6Literal(host)) {
            return fail("\"" + std::string(host) + "\" is not an IPv6 address");
        }
        if (!portText.empty() && portText.front() != ':') {
            return fail("unexpected text after the IPv6 address");
        }
    } else {
        const std::size_t colon = host.find(':');
        if (colon != std::string_view::npos) {
            portText = host.substr(colon);
            host = host.substr(0, colon);
        }
        if (!IsValidHostName(host)) {
            return fail(host.empty() ? "no server name"
                                     : "\"" + std::string(host) + "\" is not a valid server name");
        }
    }
    result.endpoint.server = std::string(host);
    if (!portText.empty()) {
        portText.remove_prefix(1); // the ':'
        int port = 0;
        const auto [end, ec] =
            std::from_chars(portText.data(), portText.data() + portText.size(), port);
        if (portText.empty() || ec != std::errc() || end != portText.data() + portText.size() ||
            port < 1 || port > 65535) {
            return fail("the port \"" + std::string(portText) +
                        "\" is not a number from 1 to 65535");
        }
        result.endpoint.port = port;
    }

    const auto path = PercentDecode(rawPath);
    if (!path) {
        return fail("the file path has a bad %-escape");
    }
    std::string pathError;
    if (!EncodeFtpPath(*path, pathError)) {
        return fail(pathError);
    }
    result.path = *path;
    return result;
}

} // namespace dv
