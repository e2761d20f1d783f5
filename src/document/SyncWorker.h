#pragma once

#include "core/CDateTime.h"
#include "document/FtpSession.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace dv {

class CDayvaultDoc;
class IPrompt;

/// The settings that a synchronisation cycle uses, copied by the owner from its settings.
struct SyncConfig {
    int NetworkFunction = 0;          ///< 0 off, 1 network path, 2 FTP server
    std::filesystem::path SharedFile; ///< the shared file on the network path
    FtpEndpoint FtpServer;            ///< where the FTP server is and the login
    std::string FtpSharedFile;        ///< the shared file's path on the server
    int NetworkSyncType = 0;          ///< 0 automatic, 1 manual
    int AutoSyncInterval = 30;        ///< seconds between automatic cycles
    int NetworkBackupDepth = 0;       ///< backups of the shared file kept; 0 none
    /// Create the share from this user's shared entries when the shared file is missing, empty
    /// or damaged (dayvault-cli sync --create). Without it only a first cycle against the place
    /// creates a missing or empty one.
    bool CreateShare = false;
};

/// The identity of the shared file of `config`, recorded in the event file's side file when a
/// cycle completes: "file:" and the absolute path, or "ftp://server:port/" and the path (never
/// the login). Empty when `config` has no network function.
std::string SharePlaceName(const SyncConfig& config);

/// The result of a synchronisation cycle, for the status display.
enum class SyncOutcome {
    idle,              ///< no cycle has run yet
    success,           ///< merged, nothing to upload
    uploaded,          ///< merged and the result uploaded
    busy,              ///< another user holds the lock
    transferFailed,    ///< a copy, download, upload or the connection failed
    mergeFailed,       ///< the merge failed, was refused or did not answer in time
    uploadSkipped,     ///< the shared file changed meanwhile; the changes wait for the next cycle
    sharedFileMissing, ///< the shared file is gone and was not created again: nothing changed
};

/// The outcome's text from the string table.
std::string SyncOutcomeText(SyncOutcome outcome);

/// Steps of the exchange between the worker and the owner of the document.
enum SyncStep : int {
    kSyncStepIdle = 0,
    kSyncStepWaitForMerge = 1,
    kSyncStepMergedNoUpload = 2,
    kSyncStepMergedUpload = 3,
    kSyncStepMergeFailed = 4,
    kSyncStepSharedFileMissing = 5, ///< the merge found no shared file and created none
};

/// The owner of the document, as the worker sees it. The worker calls both from its own thread
/// (or from the thread of RunCycleNow); the desktop program queues them to the user-interface
/// thread, dayvault-cli runs them at once.
class ISyncHost {
public:
    virtual ~ISyncHost() = default;
    /// The downloaded shared file waits at GetMergePath(): run RunMergeStep.
    virtual void PostMergeNow() = 0;
    /// The merged file reached the shared place: run OnUploadDone.
    virtual void PostUploadDone() = 0;
};

/// The synchronisation worker: runs cycles on its own thread (Start) or one on the calling
/// thread (RunCycleNow), hands the merge to the host and never touches the document itself.
class CSyncWorker {
public:
    /// `connector` opens the FTP sessions (not owned; nullptr: FTP cycles fail with
    /// transferFailed). The host must outlive the worker.
    explicit CSyncWorker(ISyncHost& host, IFtpConnector* connector = nullptr);
    /// Stops the thread and waits for it.
    ~CSyncWorker();
    CSyncWorker(const CSyncWorker&) = delete;
    CSyncWorker& operator=(const CSyncWorker&) = delete;

    /// Replaces the settings; any thread, any time. The next cycle uses them.
    void SetConfig(const SyncConfig& config);
    SyncConfig GetConfig() const;

    /// Starts the thread (once; later calls do nothing while it runs).
    void Start();
    /// Sets the stop flag, wakes the thread and waits for it; a transfer in progress is
    /// cancelled. Does nothing when no thread runs.
    void Stop();
    /// Synchronize now: the thread runs a cycle at its next look, whatever the sync type.
    void RequestSync();
    bool IsSyncRequested() const { return m_request.load(); }

    /// Runs one cycle on the calling thread with the same code as the thread (not while the
    /// thread runs). Returns its outcome, which is also stored.
    SyncOutcome RunCycleNow();

    // --- exchange with the merge step --------------------------------------------------------
    int GetStepState() const { return m_step.load(); }
    /// The temporary file that holds the downloaded shared file while the step state is 1.
    std::filesystem::path GetMergePath() const;
    /// What the cycle found besides the copy, for the merge step: whether the shared file was
    /// missing (the copy is then empty) and whether signs show that the share existed before
    /// (a time stamp on the server, backups beside the file).
    struct MergeFacts {
        bool sharedFileMissing = false;
        bool shareExisted = false;
    };
    MergeFacts GetMergeFacts() const;

    // --- status ------------------------------------------------------------------------------
    SyncOutcome GetOutcome() const { return m_outcome.load(); }
    /// Why the last cycle failed (names the file or server, never a password); empty otherwise.
    std::string GetLastError() const;
    /// When the last cycle ended; unset before the first.
    CDateTime GetLastCycleTime() const;
    /// When the next backup of the shared file is due; unset: at the next cycle.
    CDateTime GetNextBackupTime() const;

    /// Shortens the waits for tests; the defaults are 500 ms idle, 200 ms x 25 for the merge.
    void SetPollTimes(std::chrono::milliseconds idle, std::chrono::milliseconds merge,
                      int mergePolls);
    /// How long another user's upload lock (the folder on an FTP server, the ".lock" file on a
    /// network path) must stay unchanged, by this worker's own steady clock, before the worker
    /// takes it for the leftover of a program that died and breaks it; 5 minutes unless changed
    /// (0 for tests: the second sighting breaks it).
    void SetStaleLockAge(std::chrono::steady_clock::duration age);

    // Used by RunMergeStep: the step runs under the merge lock, so that a cycle that gave up
    // waiting never removes the file while it is read or written; CompleteMerge hands the
    // result over only while the worker still waits for it.
    std::unique_lock<std::mutex> LockMerge() { return std::unique_lock<std::mutex>(m_mergeMutex); }
    bool CompleteMerge(int stepState);

private:
    class Cycle;

    void ThreadMain();
    bool CycleDue(const SyncConfig& config);
    SyncOutcome RunCycle(const SyncConfig& config);
    /// Sets step 1, posts merge now and waits; returns the step state it ended with (1 when the
    /// merge did not answer in time or the worker stops).
    int WaitForMerge(const std::filesystem::path& mergePath, MergeFacts facts);
    void SleepIdle();
    void FinishCycle(SyncOutcome outcome, const std::string& error);
    /// Records a sighting of another user's upload lock; true when it has been there unchanged
    /// for the stale age.
    bool LockLooksStale(const std::string& folder, const std::string& owner);
    /// The cycle takes or holds the upload lock: until LeaveLockPhase, Stop cancels the transfers
    /// only after its grace, so that the lock can be released. False when that grace is over.
    bool EnterLockPhase();
    void LeaveLockPhase();

    ISyncHost& m_host;
    IFtpConnector* m_connector;

    mutable std::mutex m_mutex; // guards the members below up to m_lastError
    SyncConfig m_config;
    std::filesystem::path m_mergePath;
    MergeFacts m_mergeFacts;
    CDateTime m_lastCycle;
    CDateTime m_nextBackup;
    std::string m_lastError;
    std::chrono::milliseconds m_idlePoll{500};
    std::chrono::milliseconds m_mergePoll{200};
    int m_mergePolls = 25;
    std::condition_variable m_wake;

    std::chrono::steady_clock::duration m_staleLockAge{std::chrono::minutes(5)};

    // Used only by cycles, which never overlap: the FTP upload lock as this worker last found it
    // held by someone else, and the mark of a lock of our own that a cycle could not release.
    struct SeenLock {
        std::string folder;
        std::string owner; ///< the owner file's contents; empty when the folder had none
        std::chrono::steady_clock::time_point first;
        std::chrono::steady_clock::time_point last;
    };
    std::optional<SeenLock> m_seenLock;
    std::string m_leftoverMark;
    /// The temporary upload name of a cycle that could not remove it; the next upload does.
    std::string m_leftoverUpload;
    /// The server refused to create the lock folder where none existed: uploads go on without
    /// the lock until a folder can be made again.
    bool m_lockUnsupported = false;

    std::mutex m_mergeMutex;
    std::atomic<bool> m_stop{false};
    // The sessions' cancel flag: set by Stop at once, or after a grace while a cycle holds the
    // upload lock on the server (m_lockPhase), so that it can release it.
    std::atomic<bool> m_cancel{false};
    bool m_lockPhase = false;    // guarded by m_mutex
    bool m_cancelForced = false; // guarded by m_mutex: Stop's grace is over
    bool m_threadDone = false;   // guarded by m_mutex
    std::atomic<bool> m_request{false};
    std::atomic<int> m_step{kSyncStepIdle};
    std::atomic<SyncOutcome> m_outcome{SyncOutcome::idle};
    std::thread m_thread;
};

/// The merge step of the owner, on merge now: only when the worker's config has a network
/// function and the step state is 1. `busyState` is the owner's busy state (0 idle, 3 while
/// this runs); when it is not 0 the merge is refused (step 4). Otherwise the document runs
/// SynchronizeWith on the merge path with the worker's facts: step 3 when the result is to be
/// uploaded, 2 when not, 5 when the shared file is missing and was not created, 4 on failure,
/// for an empty shared file or without a document. The busy state is 0 afterwards. The
/// document's own save requests take care of saving it.
/// When the merge held back a mass deletion, the worker is answered first; then `prompt` is
/// asked "N shared entries were removed by another user. Remove them here too?" and Yes
/// deletes them. Without a prompt they stay.
void RunMergeStep(CSyncWorker& worker, CDayvaultDoc* doc, int& busyState, int networkWriteAccess,
                  IPrompt* prompt = nullptr);

/// The owner's reaction to upload done: the pushed changes are in the shared file, so they
/// leave the change list (ClearPushedChanges); changes made after the merge stay for the next
/// cycle, and the ".sync" file goes with the last entry.
void OnUploadDone(CDayvaultDoc* doc);

} // namespace dv
