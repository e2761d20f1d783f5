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

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <system_error>

namespace dv::test {

inline const CDateTime kNow(2024, 3, 10, 12, 0, 0);

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::unique_ptr<CDateEntry> SharedEvent(const std::string& description, int storage = 1) {
    auto entry = std::make_unique<CDateEntry>(kNow);
    DateData data = entry->GetData();
    data.Description = description;
    data.StorageType = storage;
    entry->AssignData(data);
    return entry;
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        m_dir = std::filesystem::temp_directory_path() /
                ("dayvault-sync-test-" + std::to_string(random()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    std::filesystem::path Path(const std::string& name) const { return m_dir / name; }

    std::shared_ptr<CFixedClock> m_clock = std::make_shared<CFixedClock>(kNow);
    CScopedClock m_scoped{m_clock};
    std::filesystem::path m_dir;
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
