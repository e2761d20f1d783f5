#pragma once

#include <QUrl>
#include <filesystem>
#include <string>

namespace dv {

/// The address that "Go to Homepage" opens for the `Homepage` setting. An address with a scheme
/// (https:, file:, mailto:) is taken as it stands; anything else names a file, relative to the
/// program folder unless absolute, so that the default, the manual's index page, follows the
/// program wherever it is installed. A missing file whose first part looks like a host name
/// ("www.example.org/news") is read as a web address, as a browser's address bar would.
QUrl HomepageUrl(const std::string& homepage, const std::filesystem::path& programFolder);

} // namespace dv
