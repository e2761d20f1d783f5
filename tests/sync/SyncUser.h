#pragma once

// One user of a shared event file for the tests of the whole cycle: a document with its private
// event file, a worker, and a host that runs the merge at once (on whichever thread the worker
// runs) under the user's mutex, so that a test thread playing the user-interface thread can
// edit the document between merges.

#include "document/CDayvaultDoc.h"
#include "document/SyncWorker.h"
#include "support/Files.h"
#include "support/FtpTestServer.h"

#include <filesystem>
#include <functional>
#include <mutex>
#include <string>

namespace dv::test {

class SyncUser final : public ISyncHost {
public:
    /// `file` is the user's private event file (written at once); `connector` may be null for
    /// cycles on a network path.
    SyncUser(std::filesystem::path file, IFtpConnector* connector, int writeAccess = 3)
        : m_file(std::move(file)), m_writeAccess(writeAccess), m_worker(*this, connector) {
        m_doc.SaveAs(m_file);
    }
    ~SyncUser() override { m_worker.Stop(); }

    void PostMergeNow() override {
        if (m_beforeMerge) {
            m_beforeMerge();
        }
        const std::lock_guard<std::mutex> lock(m_mutex);
        RunMergeStep(m_worker, &m_doc, m_busyState, m_writeAccess);
        ++m_merges;
    }
    void PostUploadDone() override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        OnUploadDone(&m_doc);
    }

    /// Runs before every merge, outside the user's mutex (a test stops or pauses its server here,
    /// or changes the shared file behind the user's back).
    void SetBeforeMerge(std::function<void()> hook) { m_beforeMerge = std::move(hook); }

    /// One cycle on the calling thread; the document is saved afterwards as the owner would.
    SyncOutcome Cycle() {
        const SyncOutcome outcome = m_worker.RunCycleNow();
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_doc.SaveCommand();
        return outcome;
    }

    CDayvaultDoc& Doc() { return m_doc; }
    CSyncWorker& Worker() { return m_worker; }
    std::mutex& Mutex() { return m_mutex; }
    const std::filesystem::path& File() const { return m_file; }
    int Merges() const { return m_merges; }

private:
    std::filesystem::path m_file;
    int m_writeAccess;
    CDayvaultDoc m_doc;
    std::mutex m_mutex;
    int m_busyState = 0;
    int m_merges = 0;
    std::function<void()> m_beforeMerge;
    CSyncWorker m_worker; // last: its thread stops before the members it uses go
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
    SyncConfig config;
    config.NetworkFunction = 2;
    config.FtpServer = server.Endpoint(passive);
    config.FtpSharedFile = "shared.dat";
    config.NetworkSyncType = 1;
    config.NetworkBackupDepth = backupDepth;
    return config;
}

} // namespace dv::test
