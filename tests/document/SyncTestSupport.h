#pragma once

// What the synchronisation tests share: a temporary folder under a fixed clock, the bytes of
// files, shared events, and a user made of a document, a host that runs the merge at once and a
// worker.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/Clock.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "document/SyncWorker.h"
#include "support/Files.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace dv::test {

inline const CDateTime kNow(2024, 3, 10, 12, 0, 0);

inline std::unique_ptr<CDateEntry> SharedEvent(const std::string& description, int storage = 1) {
    auto entry = std::make_unique<CDateEntry>(kNow);
    DateData data = entry->GetData();
    data.Description = description;
    data.StorageType = storage;
    entry->AssignData(data);
    return entry;
}

/// A temporary folder under a clock fixed at `kNow`.
class TempFolder : public ::testing::Test {
protected:
    std::filesystem::path Path(const std::string& name) const { return m_dir / name; }

    std::shared_ptr<CFixedClock> m_clock = std::make_shared<CFixedClock>(kNow);
    CScopedClock m_scoped{m_clock};
    TemporaryFolder m_dir{"sync"};
};

/// The owner of one document, running the merge at once on the worker's thread.
class TestHost : public ISyncHost {
public:
    explicit TestHost(CDayvaultDoc& doc) : m_doc(doc) {}
    void PostMergeNow() override {
        ++mergeCalls;
        if (beforeMerge) {
            beforeMerge();
        }
        if (answer) {
            RunMergeStep(*worker, &m_doc, busyState, writeAccess, prompt);
        }
    }
    void PostUploadDone() override {
        ++uploadsDone;
        OnUploadDone(&m_doc);
    }

    CSyncWorker* worker = nullptr;
    std::function<void()> beforeMerge;
    bool answer = true;
    int busyState = 0;
    int writeAccess = 3;
    IPrompt* prompt = nullptr; // answers the mass deletion question; none: the entries stay
    std::atomic<int> mergeCalls{0};
    std::atomic<int> uploadsDone{0};

private:
    CDayvaultDoc& m_doc;
};

/// A user: a private document, its host and its worker.
struct User {
    explicit User(const SyncConfig& config, IFtpConnector* connector = nullptr)
        : host(doc), worker(host, connector) {
        host.worker = &worker;
        worker.SetConfig(config);
    }
    std::string AddShared(const std::string& description) {
        auto entry = SharedEvent(description);
        const std::string guid = entry->GetGUID();
        doc.AddDateEntry(std::move(entry), kEditInteractive);
        return guid;
    }
    CDayvaultDoc doc;
    TestHost host;
    CSyncWorker worker;
};

} // namespace dv::test
