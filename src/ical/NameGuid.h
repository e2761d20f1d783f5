#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dv::ical {

/// SHA-1 of `bytes` (FIPS 180-4). Only for name-based GUIDs, where the standard asks for it; it
/// is no protection against an attacker.
std::array<uint8_t, 20> Sha1(std::string_view bytes);

/// The name-based GUID (RFC 4122 version 5) of `name` in Dayvault's own namespace, in the braced
/// upper-case form of NewGuidString. The same name always gives the same GUID.
std::string NameGuid(std::string_view name);

/// The GUID that a calendar's UID becomes: a braced GUID is kept as it stands, an unbraced one
/// (36 characters) is braced and upper-cased, any other UID gives NameGuid(uid).
std::string GuidForUid(std::string_view uid);

} // namespace dv::ical
