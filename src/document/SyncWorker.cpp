// The synchronisation worker: the cycle on a network path with its lock file, the cycle on an
// FTP server with its time-stamp check, upload lock and server-side backups, the hand-over of
// the merge to the owner of the document, and the thread that runs the cycles.

#include "document/SyncWorker.h"

#include "core/CDateTimeSpan.h"
#include "core/Guid.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "document/EventFile.h"
#include "document/FtpUploadLock.h"
#include "document/RotatingBackup.h"
#include "document/TemporaryFile.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <system_error>
#include <utility>

namespace dv {

namespace {

constexpr int kBackupHours = 20;
constexpr int kBusyIdle = 0;
constexpr int kBusyMerging = 3;
// The longest pause between two sightings of an empty lock folder that still counts as one.
constexpr std::chrono::minutes kLockSightingGap{1};
// How long Stop waits for a cycle to release the upload lock before it cancels everything.
constexpr std::chrono::seconds kReleaseGrace{2};

// ---- the lock file ------------------------------------------------------------------------------

/// The ".lock" file of the shared file, held from construction to destruction. Created
/// exclusively, so two users can never both believe they hold it; removed only by its holder.
class LockFile {
public:
    explicit LockFile(std::filesystem::path path) : m_path(std::move(path)) {
        errno = 0;
        m_file = std::fopen(m_path.string().c_str(), "wbx");
        m_busy = m_file == nullptr && errno == EEXIST;
        if (m_file != nullptr) {
            // A mark new for every holder, so that a lock that stays unchanged for the stale age
            // is told apart from a new holder's lock of the same name.
            const std::string mark =
                NewGuidString() + "\r\n" + CDateTime::Now().FormatFixed() + "\r\n";
            std::fwrite(mark.data(), 1, mark.size(), m_file);
            std::fflush(m_file);
        }
    }
    ~LockFile() {
        if (m_file != nullptr) {
            std::fclose(m_file);
            std::error_code ignored;
            std::filesystem::remove(m_path, ignored);
        }
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    bool IsHeld() const { return m_file != nullptr; }
    /// Creation failed because the file exists: another user holds the lock.
    bool IsBusy() const { return m_busy; }

private:
    std::filesystem::path m_path;
    std::FILE* m_file = nullptr;
    bool m_busy = false;
};

// ---- small file helpers -------------------------------------------------------------------------

void MakeEmpty(const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw std::runtime_error(path.string() + ": cannot write the temporary file");
    }
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
        throw std::runtime_error(path.string() + ": cannot write the temporary file");
    }
}

/// The first two lines of a small text file, without their line ends.
std::pair<std::string, std::string> ReadTwoLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string first;
    std::string second;
    std::getline(in, first);
    std::getline(in, second);
    for (std::string* line : {&first, &second}) {
        if (!line->empty() && line->back() == '\r') {
            line->pop_back();
        }
    }
    return {first, second};
}

bool SameBytes(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second) {
        return false;
    }
    return std::equal(std::istreambuf_iterator<char>(first), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(second), std::istreambuf_iterator<char>());
}

/// The time stamp of the ".dts" file: the time on its first line and the uploader's mark on the
/// second (files of older writers have none). Two stamps are the same upload when both agree.
struct TimeStamp {
    bool present = false;
    std::string time;
    std::string mark;

    friend bool operator==(const TimeStamp&, const TimeStamp&) = default;
};

std::string NumberedName(const std::string& remote, const char* pattern, int number) {
    std::array<char, 16> suffix{};
    std::snprintf(suffix.data(), suffix.size(), pattern, number);
    return SidePath(std::filesystem::path(remote), suffix.data()).generic_string();
}

std::string SideName(const std::string& remote, std::string_view suffix) {
    return SidePath(std::filesystem::path(remote), suffix).generic_string();
}

/// What tells one holder's ".lock" file from another's: its content and modification time.
std::string LockFileIdentity(const std::filesystem::path& path) {
    std::error_code error;
    const auto time = std::filesystem::last_write_time(path, error);
    if (error) {
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return content + "@" + std::to_string(time.time_since_epoch().count());
}

/// A name for an upload beside the shared file: "<name>.<8 hex digits>.tmp".
std::string TemporaryUploadName(const std::string& remote) {
    const std::string mark = NewGuidString(); // "{XXXXXXXX-..."
    return SideName(remote, "." + mark.substr(1, 8) + ".tmp");
}

/// Ends an FTP cycle early with a failed transfer, carrying the session's reason.
struct TransferFailure {
    std::string reason;
};

} // namespace

// ---- outcome texts ------------------------------------------------------------------------------

std::string SyncOutcomeText(SyncOutcome outcome) {
    switch (outcome) {
    case SyncOutcome::idle:
        return LoadString(kIdsSyncIdle);
    case SyncOutcome::success:
        return LoadString(kIdsSyncSuccess);
    case SyncOutcome::uploaded:
        return LoadString(kIdsSyncUploaded);
    case SyncOutcome::busy:
        return LoadString(kIdsSyncBusy);
    case SyncOutcome::transferFailed:
        return LoadString(kIdsSyncTransferFailed);
    case SyncOutcome::mergeFailed:
        return LoadString(kIdsSyncMergeFailed);
    case SyncOutcome::uploadSkipped:
        return LoadString(kIdsSyncUploadSkipped);
    case SyncOutcome::sharedFileMissing:
        return LoadString(kIdsSyncSharedFileMissing);
    }
    return {};
}

std::string SharePlaceName(const SyncConfig& config) {
    if (config.NetworkFunction == 1) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(config.SharedFile, error);
        return "file:" + (error ? config.SharedFile : absolute).lexically_normal().generic_string();
    }
    if (config.NetworkFunction == 2) {
        return "ftp://" + config.FtpServer.server + ":" + std::to_string(config.FtpServer.port) +
               "/" + config.FtpSharedFile;
    }
    return {};
}

// ---- one cycle ----------------------------------------------------------------------------------

/// The state of one cycle: its two temporary files, its settings and what went wrong.
class CSyncWorker::Cycle {
    class LockPhase;

public:
    Cycle(CSyncWorker& worker, const SyncConfig& config)
        : m_worker(worker), m_config(config), m_merge("merge"), m_aux("aux") {}

    SyncOutcome Run() {
        if (!m_merge.IsOpen() || !m_aux.IsOpen()) {
            m_error = std::filesystem::temp_directory_path().string() +
                      ": cannot create a temporary file";
            return SyncOutcome::transferFailed;
        }
        try {
            return m_config.NetworkFunction == 2 ? RunFtp() : RunNetworkPath();
        } catch (const TransferFailure& failure) {
            m_error = failure.reason;
            return SyncOutcome::transferFailed;
        } catch (const std::exception& error) {
            m_error = error.what();
            return SyncOutcome::transferFailed;
        }
    }

    const std::string& Error() const { return m_error; }

private:
    SyncOutcome RunNetworkPath() {
        const std::filesystem::path& shared = m_config.SharedFile;
        const std::filesystem::path lockPath = SidePath(shared, ".lock");
        std::optional<LockFile> lock;
        lock.emplace(lockPath);
        if (!lock->IsHeld() && lock->IsBusy() && BreakLockFileIfStale(lockPath)) {
            lock.emplace(lockPath);
        }
        if (!lock->IsHeld()) {
            if (lock->IsBusy()) {
                return SyncOutcome::busy;
            }
            m_error = FormatString(kIdsSyncCannotLock, lockPath.string());
            return SyncOutcome::transferFailed;
        }
        m_worker.m_seenLock.reset();
        std::error_code error;
        const bool exists = std::filesystem::exists(shared, error);
        if (error) {
            m_error = shared.string() + ": " + error.message();
            return SyncOutcome::transferFailed;
        }
        if (exists && m_config.NetworkBackupDepth > 0 && BackupDue()) {
            const RotatingBackupResult backup =
                MakeRotatingBackup(shared, m_config.NetworkBackupDepth, kBackupHours);
            SetNextBackup(backup.secondsUntilNext);
        }
        // Without a shared file (or with an empty one) the merge step decides whether this is
        // the first day of the share, which creates it, or a file that went missing or was
        // emptied, which changes nothing. Backups beside it show that it existed.
        MergeFacts facts;
        facts.shareExisted = std::filesystem::exists(SidePath(shared, ".b00"), error);
        if (exists) {
            CopyFileAtomically(shared, m_merge.Path(), kPrivateFile);
        } else {
            MakeEmpty(m_merge.Path());
            facts.sharedFileMissing = true;
        }
        const int step = m_worker.WaitForMerge(m_merge.Path(), facts);
        if (const std::optional<SyncOutcome> ended = EndOfMerge(step, shared.string())) {
            return *ended;
        }
        CopyFileAtomically(m_merge.Path(), shared);
        m_worker.m_host.PostUploadDone();
        return SyncOutcome::uploaded;
    }

    /// The outcome when the merge step ends the cycle (anything but "upload"); nullopt when the
    /// merged file is to be uploaded.
    std::optional<SyncOutcome> EndOfMerge(int step, const std::string& name) {
        if (step == kSyncStepMergedNoUpload) {
            return SyncOutcome::success;
        }
        if (step == kSyncStepSharedFileMissing) {
            m_error = FormatString(kIdsSyncSharedFileMissingHelp, name);
            return SyncOutcome::sharedFileMissing;
        }
        if (step != kSyncStepMergedUpload) {
            if (step == kSyncStepMergeFailed) {
                m_error = DescribeUnmergedCopy(name);
            }
            return SyncOutcome::mergeFailed;
        }
        return std::nullopt;
    }

    /// Why a copy the merge step refused could not be merged, when the copy is the reason: it
    /// is empty, or it is no event file. Empty when it reads well (the owner was busy).
    std::string DescribeUnmergedCopy(const std::string& name) const {
        std::error_code error;
        if (std::filesystem::file_size(m_merge.Path(), error) == 0 && !error) {
            return FormatString(kIdsSyncSharedFileEmpty, name);
        }
        try {
            ReadEventFile(m_merge.Path(), EventFileParts::entriesOnly);
        } catch (const std::exception&) {
            return FormatString(kIdsSyncSharedFileDamaged, name);
        }
        return {};
    }

    /// Breaks another user's ".lock" file when this worker has seen it unchanged for the stale
    /// age (the leftover of a program that died); true when it is gone.
    bool BreakLockFileIfStale(const std::filesystem::path& lockPath) {
        const std::string identity = LockFileIdentity(lockPath);
        if (identity.empty()) {
            return true; // gone meanwhile
        }
        if (!m_worker.LockLooksStale(lockPath.string(), identity)) {
            return false;
        }
        // Only the lock we judged: a holder who took it over just now keeps it.
        if (LockFileIdentity(lockPath) != identity) {
            return false;
        }
        std::error_code error;
        std::filesystem::remove(lockPath, error);
        m_worker.m_seenLock.reset();
        return !error;
    }

    SyncOutcome RunFtp() {
        if (m_worker.m_connector == nullptr) {
            m_error = FormatString(kIdsSyncCannotConnect, m_config.FtpServer.server);
            return SyncOutcome::transferFailed;
        }
        std::string reason;
        const std::unique_ptr<IFtpSession> session =
            m_worker.m_connector->Connect(m_config.FtpServer, &m_worker.m_cancel, reason);
        if (!session) {
            m_error = FormatString(kIdsSyncCannotConnect, m_config.FtpServer.server) +
                      (reason.empty() ? "" : "\n" + reason);
            return SyncOutcome::transferFailed;
        }
        m_session = session.get();
        const std::string& remote = m_config.FtpSharedFile;

        // The stamp before the file: an upload that lands between the two then shows as a
        // changed stamp at the check below. Read after the file, it would let us overwrite an
        // upload that our merge never saw.
        const TimeStamp before = ReadTimeStamp(remote);
        MergeFacts facts;
        // A server answers 550 alike for a file that is not there and one it will not show;
        // either way the merge step decides, and a time stamp tells that the share existed.
        const bool exists = Download(remote, m_merge.Path());
        facts.shareExisted = before.present;
        if (!exists) {
            MakeEmpty(m_merge.Path());
            facts.sharedFileMissing = true;
        }
        // An empty file is never backed up, nor taken by the merge step for a share: with a time
        // stamp it is a direct upload that has just truncated it (servers that refuse renames).
        std::error_code sizeError;
        if (exists && m_config.NetworkBackupDepth > 0 && BackupDue() &&
            std::filesystem::file_size(m_merge.Path(), sizeError) > 0) {
            BackUpOnServer(remote);
        }

        const int step = m_worker.WaitForMerge(m_merge.Path(), facts);
        if (const std::optional<SyncOutcome> ended = EndOfMerge(step, remote)) {
            return *ended;
        }
        // The lock keeps every user who knows it out of the stretch from the stamp check to the
        // read-back, which FTP could not make atomic otherwise. Released on every way out.
        LockPhase phase(m_worker); // outlives the lock: its release is part of the phase
        FtpUploadLock lock(*m_session, remote, m_worker.m_leftoverMark);
        if (!TakeLock(lock, phase)) {
            return SyncOutcome::busy;
        }
        if (ReadTimeStamp(remote) != before) {
            return SyncOutcome::uploadSkipped;
        }
        UploadSharedFile(remote);
        TimeStamp ours{true, CDateTime::Now().FormatFixed(), NewGuidString()};
        WriteText(m_aux.Path(), ours.time + "\r\n" + ours.mark + "\r\n");
        Check(m_session->Upload(m_aux.Path(), SideName(remote, ".dts")));
        // Two users may pass the check above at the same time, and FTP has no atomic
        // compare-and-replace. Only a user who finds both its stamp and its own bytes on the
        // server afterwards is sure that its changes arrived; anyone else keeps them for the
        // next cycle, which merges before it uploads again.
        if (ReadTimeStamp(remote) != ours || !Download(remote, m_aux.Path()) ||
            !SameBytes(m_aux.Path(), m_merge.Path())) {
            return SyncOutcome::uploadSkipped;
        }
        lock.Release(m_aux.Path());
        m_worker.m_host.PostUploadDone();
        return SyncOutcome::uploaded;
    }

    /// Puts the merged file on the server as `remote`: uploaded to a temporary name beside it and
    /// renamed over it, so that an upload cut off halfway never leaves a truncated shared file. A
    /// server that refuses the rename gets the file directly, as writers did before. The
    /// temporary name goes on every way out; one a lost connection left behind goes at the next
    /// upload.
    void UploadSharedFile(const std::string& remote) {
        if (!m_worker.m_leftoverUpload.empty() &&
            m_session->Delete(m_worker.m_leftoverUpload) != FtpResult::failed) {
            m_worker.m_leftoverUpload.clear();
        }
        const std::string temporary = TemporaryUploadName(remote);
        const auto removeTemporary = [&] {
            if (m_session->Delete(temporary) == FtpResult::failed) {
                m_worker.m_leftoverUpload = temporary;
            }
        };
        const FtpResult uploaded = m_session->Upload(m_merge.Path(), temporary);
        if (uploaded != FtpResult::ok) {
            const std::string reason = m_session->LastError();
            removeTemporary();
            throw TransferFailure{reason};
        }
        const FtpResult renamed = m_session->Rename(temporary, remote);
        if (renamed == FtpResult::ok) {
            return;
        }
        const std::string reason = m_session->LastError();
        removeTemporary();
        if (renamed != FtpResult::refused) {
            throw TransferFailure{reason};
        }
        Check(m_session->Upload(m_merge.Path(), remote));
    }

    /// Takes the upload lock; false when another user holds it. A lock that this worker has
    /// seen unchanged for the stale age, or one of its own that an earlier cycle could not
    /// release, is broken first.
    bool TakeLock(FtpUploadLock& lock, LockPhase& phase) {
        // From the creation on: a stop must not cut off a creation that reached the server
        // unseen, which would leave a lock nobody knows to release.
        phase.Enter();
        FtpResult made = m_session->MakeDirectory(lock.Folder());
        if (made == FtpResult::refused) {
            if (m_worker.m_lockUnsupported && ReadOwner(lock).empty()) {
                return true; // see below: this server lets nobody create the lock
            }
            bool noFolder = false;
            if (!BreakLockIfStale(lock, noFolder)) {
                return false;
            }
            made = m_session->MakeDirectory(lock.Folder());
            if (made == FtpResult::refused) {
                if (noFolder) {
                    // There was no lock to break, yet the folder cannot be made: the server
                    // does not allow folders here. Waiting would keep the changes from ever
                    // arriving, so the upload goes on guarded by the time stamp and the
                    // read-back alone, as for writers that do not know the lock.
                    m_worker.m_lockUnsupported = true;
                    return true;
                }
                return false; // another user was quicker
            }
        }
        Check(made);
        m_worker.m_lockUnsupported = false;
        const std::string ownerText =
            NewGuidString() + "\r\n" + CDateTime::Now().FormatFixed() + "\r\n";
        lock.SetHeld(ownerText);
        m_worker.m_seenLock.reset();
        WriteText(m_aux.Path(), ownerText);
        Check(m_session->Upload(m_aux.Path(), lock.OwnerFile()));
        return true;
    }

    /// True when the lock was found stale and removed (or had gone meanwhile). `noFolder` tells
    /// that there was no owner file and no folder to remove either.
    bool BreakLockIfStale(const FtpUploadLock& lock, bool& noFolder) {
        const std::string owner = ReadOwner(lock);
        const std::string mark = FtpUploadLock::MarkOf(owner);
        const bool ours = !mark.empty() && mark == m_worker.m_leftoverMark;
        if (!ours && !m_worker.LockLooksStale(lock.Folder(), owner)) {
            return false;
        }
        // Only the lock we judged: a holder who took it over just now keeps it.
        if (ReadOwner(lock) != owner) {
            return false;
        }
        const FtpResult deleted = m_session->Delete(lock.OwnerFile());
        if (deleted == FtpResult::failed) {
            Check(deleted);
        }
        const FtpResult removed = m_session->RemoveDirectory(lock.Folder());
        if (removed == FtpResult::failed) {
            Check(removed);
        }
        noFolder = owner.empty() && removed == FtpResult::refused;
        m_worker.m_seenLock.reset();
        if (ours) {
            m_worker.m_leftoverMark.clear();
        }
        return true;
    }

    /// The owner file of a lock held by someone; empty when the folder has none.
    std::string ReadOwner(const FtpUploadLock& lock) {
        return Download(lock.OwnerFile(), m_aux.Path()) ? FtpUploadLock::ReadAll(m_aux.Path())
                                                        : std::string();
    }

    /// The backup rotation on the server: ".b%02d" copies of the shared file with their times in
    /// ".t%02d" files, at most one new copy per 20 hours.
    void BackUpOnServer(const std::string& remote) {
        const CDateTime now = CDateTime::Now();
        std::optional<int> slot;
        std::optional<CDateTime> newest;
        std::optional<CDateTime> oldest;
        int oldestNumber = 0;
        for (int number = 0; number < m_config.NetworkBackupDepth; ++number) {
            if (!Download(NumberedName(remote, ".t%02d", number), m_aux.Path())) {
                slot = number;
                break;
            }
            CDateTime time; // a time that cannot be read counts as the oldest of all
            time.Parse(ReadTwoLines(m_aux.Path()).first);
            if (!newest || time > *newest) {
                newest = time;
            }
            if (!oldest || time < *oldest) {
                oldest = time;
                oldestNumber = number;
            }
        }
        SetNextBackup(static_cast<int64_t>(kBackupHours) * 3600);
        if (newest && *newest <= now &&
            (now - *newest).GetTotalSeconds() < static_cast<int64_t>(kBackupHours) * 3600) {
            return;
        }
        const int number = slot.value_or(oldestNumber);
        WriteText(m_aux.Path(), now.FormatFixed() + "\r\n");
        const FtpResult removed = m_session->Delete(NumberedName(remote, ".t%02d", number));
        if (removed == FtpResult::failed) {
            Check(removed);
        }
        Check(m_session->Upload(m_merge.Path(), NumberedName(remote, ".b%02d", number)));
        Check(m_session->Upload(m_aux.Path(), NumberedName(remote, ".t%02d", number)));
    }

    TimeStamp ReadTimeStamp(const std::string& remote) {
        if (!Download(SideName(remote, ".dts"), m_aux.Path())) {
            return {};
        }
        auto [time, mark] = ReadTwoLines(m_aux.Path());
        return {true, std::move(time), std::move(mark)};
    }

    /// True when the file arrived, false when the server does not have it; a failed transfer
    /// ends the cycle.
    bool Download(const std::string& remote, const std::filesystem::path& local) {
        const FtpResult result = m_session->Download(remote, local);
        if (result == FtpResult::missing) {
            return false;
        }
        Check(result);
        return true;
    }

    void Check(FtpResult result) const {
        if (result != FtpResult::ok) {
            throw TransferFailure{m_session->LastError()};
        }
    }

    bool BackupDue() const {
        const std::lock_guard<std::mutex> lock(m_worker.m_mutex);
        return !m_worker.m_nextBackup.IsSet() || CDateTime::Now() >= m_worker.m_nextBackup;
    }

    void SetNextBackup(int64_t seconds) {
        const std::lock_guard<std::mutex> lock(m_worker.m_mutex);
        m_worker.m_nextBackup = CDateTime::Now() + CDateTimeSpan(seconds);
    }

    /// From taking the upload lock to releasing it, Stop leaves the transfers alone for a short
    /// grace, so that a stop in the middle does not leave the lock on the server.
    class LockPhase {
    public:
        explicit LockPhase(CSyncWorker& worker) : m_worker(worker) {}
        ~LockPhase() {
            if (m_entered) {
                m_worker.LeaveLockPhase();
            }
        }
        LockPhase(const LockPhase&) = delete;
        LockPhase& operator=(const LockPhase&) = delete;
        /// The lock is being taken or held from now on.
        void Enter() { m_entered = m_worker.EnterLockPhase(); }

    private:
        CSyncWorker& m_worker;
        bool m_entered = false;
    };

    CSyncWorker& m_worker;
    const SyncConfig& m_config;
    TemporaryFile m_merge;
    TemporaryFile m_aux;
    IFtpSession* m_session = nullptr;
    std::string m_error;
};

// ---- the worker ---------------------------------------------------------------------------------

CSyncWorker::CSyncWorker(ISyncHost& host, IFtpConnector* connector)
    : m_host(host), m_connector(connector) {}

CSyncWorker::~CSyncWorker() {
    Stop();
}

void CSyncWorker::SetConfig(const SyncConfig& config) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_config = config;
    }
    m_wake.notify_all();
}

SyncConfig CSyncWorker::GetConfig() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_config;
}

void CSyncWorker::Start() {
    if (m_thread.joinable()) {
        return;
    }
    m_stop = false;
    m_thread = std::thread([this] { ThreadMain(); });
}

void CSyncWorker::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        if (!m_lockPhase) {
            m_cancel = true;
        }
    }
    m_wake.notify_all();
    {
        // A cycle that holds the upload lock gets a moment to release it on the server; then
        // every transfer is cancelled for good, so a dead server holds nobody for long.
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait_for(lock, kReleaseGrace, [this] { return m_threadDone; });
        m_cancelForced = true;
        m_cancel = true;
    }
    m_thread.join();
    // The flags also cancel transfers; left set, they would cancel every later RunCycleNow.
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = false;
    m_cancel = false;
    m_cancelForced = false;
    m_threadDone = false;
}

void CSyncWorker::RequestSync() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_request = true;
    }
    m_wake.notify_all();
}

std::filesystem::path CSyncWorker::GetMergePath() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_mergePath;
}

CSyncWorker::MergeFacts CSyncWorker::GetMergeFacts() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_mergeFacts;
}

std::string CSyncWorker::GetLastError() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastError;
}

CDateTime CSyncWorker::GetLastCycleTime() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastCycle;
}

CDateTime CSyncWorker::GetNextBackupTime() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_nextBackup;
}

void CSyncWorker::SetPollTimes(std::chrono::milliseconds idle, std::chrono::milliseconds merge,
                               int mergePolls) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_idlePoll = idle;
    m_mergePoll = merge;
    m_mergePolls = mergePolls;
}

void CSyncWorker::SetStaleLockAge(std::chrono::steady_clock::duration age) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_staleLockAge = age;
}

bool CSyncWorker::LockLooksStale(const std::string& folder, const std::string& owner) {
    using std::chrono::steady_clock;
    steady_clock::duration age;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        age = m_staleLockAge;
    }
    const steady_clock::time_point now = steady_clock::now();
    // Marks are new for every holder, so the same owner text means the same holder however long
    // ago we saw it. Empty folders all look alike: one seen long ago may have been another's,
    // so an empty lock counts only while we keep seeing it.
    const bool sameLock = m_seenLock && m_seenLock->folder == folder &&
                          m_seenLock->owner == owner &&
                          (!owner.empty() || now - m_seenLock->last <= age + kLockSightingGap);
    if (!sameLock) {
        m_seenLock = SeenLock{folder, owner, now, now};
        return false;
    }
    m_seenLock->last = now;
    return now - m_seenLock->first >= age;
}

bool CSyncWorker::CompleteMerge(int stepState) {
    int expected = kSyncStepWaitForMerge;
    const bool taken = m_step.compare_exchange_strong(expected, stepState);
    {
        const std::lock_guard<std::mutex> lock(m_mutex); // no wake-up lost between check and wait
    }
    m_wake.notify_all();
    return taken;
}

SyncOutcome CSyncWorker::RunCycleNow() {
    const SyncConfig config = GetConfig();
    const SyncOutcome outcome = RunCycle(config);
    return outcome;
}

SyncOutcome CSyncWorker::RunCycle(const SyncConfig& config) {
    SyncOutcome outcome = SyncOutcome::idle;
    std::string error;
    if (config.NetworkFunction == 1 || config.NetworkFunction == 2) {
        auto cycle = std::make_unique<Cycle>(*this, config);
        outcome = cycle->Run();
        error = cycle->Error();
        // A merge step that is still running finishes before its file goes.
        const std::unique_lock<std::mutex> merge = LockMerge();
        cycle.reset();
        m_step = kSyncStepIdle;
    }
    FinishCycle(outcome, error);
    return outcome;
}

void CSyncWorker::FinishCycle(SyncOutcome outcome, const std::string& error) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_lastCycle = CDateTime::Now();
        m_mergePath.clear();
        m_mergeFacts = {};
        m_lastError = error;
        m_request = false;
    }
    m_outcome = outcome;
}

int CSyncWorker::WaitForMerge(const std::filesystem::path& mergePath, MergeFacts facts) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_mergePath = mergePath;
    m_mergeFacts = facts;
    m_step = kSyncStepWaitForMerge;
    lock.unlock();
    m_host.PostMergeNow();
    lock.lock();
    for (int poll = 0; poll < m_mergePolls; ++poll) {
        if (m_step.load() != kSyncStepWaitForMerge || m_stop.load()) {
            break;
        }
        m_wake.wait_for(lock, m_mergePoll);
    }
    lock.unlock();
    // Give up: a late merge must find the step no longer waiting. Its outcome, if it came just
    // now, still counts.
    int expected = kSyncStepWaitForMerge;
    if (m_step.compare_exchange_strong(expected, kSyncStepIdle)) {
        return kSyncStepWaitForMerge;
    }
    return expected;
}

bool CSyncWorker::CycleDue(const SyncConfig& config) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const CDateTime now = CDateTime::Now();
    if (now < m_lastCycle) {
        m_lastCycle = now; // the clock was set back
    }
    if (m_request.load()) {
        return true;
    }
    return config.NetworkSyncType == 0 &&
           (!m_lastCycle.IsSet() ||
            (now - m_lastCycle).GetTotalSeconds() >= static_cast<int64_t>(config.AutoSyncInterval));
}

void CSyncWorker::SleepIdle() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait_for(lock, m_idlePoll, [this] { return m_stop.load() || m_request.load(); });
}

void CSyncWorker::ThreadMain() {
    while (!m_stop.load()) {
        const SyncConfig config = GetConfig();
        if (config.NetworkFunction != 0 && m_step.load() == kSyncStepIdle && CycleDue(config)) {
            RunCycle(config);
        }
        if (m_stop.load()) {
            break;
        }
        SleepIdle();
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_threadDone = true;
    }
    m_wake.notify_all();
}

bool CSyncWorker::EnterLockPhase() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_cancelForced) {
        return false;
    }
    m_lockPhase = true;
    m_cancel = false; // a Stop that came meanwhile waits for the release within its grace
    return true;
}

void CSyncWorker::LeaveLockPhase() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_lockPhase = false;
    if (m_stop.load()) {
        m_cancel = true;
    }
}

// ---- the owner's side ---------------------------------------------------------------------------

void RunMergeStep(CSyncWorker& worker, CDayvaultDoc* doc, int& busyState, int networkWriteAccess,
                  IPrompt* prompt) {
    std::unique_lock<std::mutex> merge = worker.LockMerge();
    const SyncConfig config = worker.GetConfig();
    if (config.NetworkFunction == 0 || worker.GetStepState() != kSyncStepWaitForMerge) {
        return;
    }
    if (busyState != kBusyIdle) {
        worker.CompleteMerge(kSyncStepMergeFailed);
        return;
    }
    busyState = kBusyMerging;
    int step = kSyncStepMergeFailed;
    try {
        if (doc != nullptr) {
            const CSyncWorker::MergeFacts facts = worker.GetMergeFacts();
            CDayvaultDoc::SyncMergeOptions options;
            options.place = SharePlaceName(config);
            options.sharedFileMissing = facts.sharedFileMissing;
            options.shareExisted = facts.shareExisted;
            options.create = config.CreateShare;
            switch (doc->SynchronizeWith(worker.GetMergePath(), config.NetworkFunction,
                                         networkWriteAccess, options)) {
            case CDayvaultDoc::SyncMergeResult::merged:
                step = kSyncStepMergedNoUpload;
                break;
            case CDayvaultDoc::SyncMergeResult::mergedUpload:
                step = kSyncStepMergedUpload;
                break;
            case CDayvaultDoc::SyncMergeResult::sharedFileMissing:
                step = kSyncStepSharedFileMissing;
                break;
            case CDayvaultDoc::SyncMergeResult::failed:
            case CDayvaultDoc::SyncMergeResult::sharedFileEmpty:
                break;
            }
        }
    } catch (...) {
        busyState = kBusyIdle;
        worker.CompleteMerge(kSyncStepMergeFailed);
        throw;
    }
    worker.CompleteMerge(step);
    merge.unlock();
    // The worker has its answer; the question may take as long as the user needs. The other
    // changes of the merge stand either way.
    try {
        if (doc != nullptr && doc->GetHeldDeletionCount() > 0 && prompt != nullptr &&
            prompt->AskYesNo(
                FormatString(kIdsSyncAskRemoveShared, std::to_string(doc->GetHeldDeletionCount())),
                PromptIcon::Question)) {
            doc->ApplyHeldDeletions();
        }
    } catch (...) {
        busyState = kBusyIdle;
        throw;
    }
    busyState = kBusyIdle;
}

void OnUploadDone(CDayvaultDoc* doc) {
    if (doc != nullptr) {
        doc->ClearPushedChanges();
    }
}

} // namespace dv
