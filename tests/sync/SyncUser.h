#pragma once

// One user of a shared event file: a document, a worker, and a host that runs the merge at once
// (on whichever thread the worker runs) under the user's mutex, so that a test thread playing the
// user-interface thread can edit the document between merges.

#include "core/Clock.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "document/SyncTestSupport.h"
#include "document/SyncWorker.h"
#include "support/Files.h"
#include "support/FtpTestServer.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <string>

namespace dv::test {

class SyncUser final : public ISyncHost {
public:
    /// `connector` may be null for cycles on a network path; with a `file`, the document is saved
    /// there at once and after every Cycle(), as its owner would.
    explicit SyncUser(const SyncConfig& config, IFtpConnector* connector = nullptr,
                      std::filesystem::path privateFile = {})
        : file(std::move(privateFile)), worker(*this, connector) {
        worker.SetConfig(config);
        if (!file.empty()) {
            doc.SaveAs(file);
        }
    }
    ~SyncUser() override { worker.Stop(); }

    void PostMergeNow() override {
        if (beforeMerge) {
            beforeMerge(); // outside the mutex: a test stops its server or changes files here
        }
        const std::lock_guard<std::mutex> lock(mutex);
        ++merges;
        if (answer) {
            RunMergeStep(worker, &doc, busyState, writeAccess, prompt);
        }
    }
    void PostUploadDone() override {
        const std::lock_guard<std::mutex> lock(mutex);
        ++uploadsDone;
        OnUploadDone(&doc);
    }

    SyncOutcome Cycle() {
        const SyncOutcome outcome = worker.RunCycleNow();
        const std::lock_guard<std::mutex> lock(mutex);
        if (!file.empty()) {
            doc.SaveCommand();
        }
        return outcome;
    }
    std::string AddShared(const std::string& description) {
        auto entry = SharedEvent(description);
        const std::string guid = entry->GetGUID();
        doc.AddDateEntry(std::move(entry), kEditInteractive);
        return guid;
    }

    const std::filesystem::path file;
    CDayvaultDoc doc;
    std::mutex mutex;
    std::function<void()> beforeMerge;
    bool answer = true; // false: the owner never runs the merge
    int busyState = 0;
    int writeAccess = 3;
    IPrompt* prompt = nullptr; // answers the mass deletion question; none: the entries stay
    std::atomic<int> merges{0};
    std::atomic<int> uploadsDone{0};
    CSyncWorker worker; // last: its thread stops before the members it uses go
};

/// A temporary folder under a clock fixed at `kNow`.
class TempFolder : public ::testing::Test {
protected:
    std::filesystem::path Path(const std::string& name) const { return m_dir / name; }

    std::shared_ptr<CFixedClock> m_clock = std::make_shared<CFixedClock>(kNow);
    CScopedClock m_scoped{m_clock};
    TemporaryFolder m_dir{"sync"};
};

/// A cycle against a shared file in a folder.
inline SyncConfig PathConfig(const std::filesystem::path& shared, int backupDepth = 0) {
    SyncConfig config;
    config.NetworkFunction = 1;
    config.SharedFile = shared;
    config.NetworkSyncType = 1;
    config.NetworkBackupDepth = backupDepth;
    return config;
}

/// A cycle against "shared.dat" in the login folder of a test server.
inline SyncConfig FtpConfig(const FtpTestServer& server, bool passive = true, int backupDepth = 0) {
    SyncConfig config = PathConfig({}, backupDepth);
    config.NetworkFunction = 2;
    config.FtpServer = server.Endpoint(passive);
    config.FtpSharedFile = "shared.dat";
    return config;
}

} // namespace dv::test
