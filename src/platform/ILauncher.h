#pragma once

#include <string>

namespace dv {

/// Opens documents and starts programs for the actions of events. The desktop program uses the
/// desktop's handlers; tests use a recording fake, so that nothing is really started.
class ILauncher {
public:
    virtual ~ILauncher() = default;

    /// Opens `document` (a file path or an address such as "https://..." or "mailto:...") with
    /// the program the desktop associates with it. False when it could not be opened.
    virtual bool OpenDocument(const std::string& document) = 0;

    /// Starts `command` (a program path or a name found on the search path) with `parameters`
    /// (one string, split into arguments as a shell would, quotes respected), detached from this
    /// program. False when it could not be started.
    virtual bool RunCommand(const std::string& command, const std::string& parameters) = 0;

protected:
    ILauncher() = default;
    ILauncher(const ILauncher&) = default;
    ILauncher& operator=(const ILauncher&) = default;
};

} // namespace dv
