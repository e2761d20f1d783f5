#pragma once

#include "platform/ILauncher.h"

namespace dv {

/// The desktop's launcher: documents and addresses through QDesktopServices, programs through
/// QProcess::startDetached.
class CQtLauncher final : public ILauncher {
public:
    /// A local file that does not exist is reported as a failure before the desktop is asked
    /// (the desktop's opener would start and fail on its own, unseen).
    bool OpenDocument(const std::string& document) override;
    /// A command that names an existing file that is not a program, given without parameters,
    /// is opened as a document, as the desktop's "open" does.
    bool RunCommand(const std::string& command, const std::string& parameters) override;
};

} // namespace dv
