#include "platform/CKeychainSecretStore.h"

#include <QEventLoop>
#include <QTimer>
#include <qt6keychain/keychain.h>

namespace dv {

namespace {

struct JobOutcome {
    bool finished = false;
    QKeychain::Error error = QKeychain::OtherError;
    QString text;
};

// Starts `job` and waits for it at most `wait`. The job deletes itself when it finishes, also
// after the wait gave up on it; its answer then goes nowhere.
JobOutcome RunJob(QKeychain::Job* job, std::chrono::milliseconds wait) {
    JobOutcome outcome;
    QEventLoop loop;
    job->setAutoDelete(true);
    // No insecure fallback: without a keyring the settings keep their scrambled value instead
    // of a plain-text file of QtKeychain's.
    job->setInsecureFallback(false);
    QObject::connect(job, &QKeychain::Job::finished, &loop,
                     [&outcome, &loop](QKeychain::Job* done) {
                         outcome.finished = true;
                         outcome.error = done->error();
                         if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done)) {
                             outcome.text = read->textData();
                         }
                         loop.quit();
                     });
    QTimer::singleShot(wait, &loop, &QEventLoop::quit);
    job->start();
    if (!outcome.finished) {
        // Input waits meanwhile: the user cannot start a second job from inside this one.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return outcome;
}

QString KeyOf(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

} // namespace

ISecretStore::ReadResult CKeychainSecretStore::Read(std::string_view key) {
    if (m_gaveUp) {
        return {};
    }
    auto* job = new QKeychain::ReadPasswordJob(m_service);
    job->setKey(KeyOf(key));
    const JobOutcome outcome = RunJob(job, m_wait);
    if (outcome.finished && outcome.error == QKeychain::NoError) {
        return {Status::Ok, outcome.text.toStdString()};
    }
    if (outcome.finished && outcome.error == QKeychain::EntryNotFound) {
        return {Status::NotFound, {}};
    }
    m_gaveUp = !outcome.finished || outcome.error == QKeychain::NoBackendAvailable;
    return {};
}

ISecretStore::Status CKeychainSecretStore::Write(std::string_view key, std::string_view secret) {
    if (m_gaveUp) {
        return Status::Unavailable;
    }
    auto* job = new QKeychain::WritePasswordJob(m_service);
    job->setKey(KeyOf(key));
    job->setTextData(KeyOf(secret));
    const JobOutcome outcome = RunJob(job, m_wait);
    if (outcome.finished && outcome.error == QKeychain::NoError) {
        return Status::Ok;
    }
    m_gaveUp = !outcome.finished || outcome.error == QKeychain::NoBackendAvailable;
    return Status::Unavailable;
}

ISecretStore::Status CKeychainSecretStore::Remove(std::string_view key) {
    if (m_gaveUp) {
        return Status::Unavailable;
    }
    auto* job = new QKeychain::DeletePasswordJob(m_service);
    job->setKey(KeyOf(key));
    const JobOutcome outcome = RunJob(job, m_wait);
    if (outcome.finished && outcome.error == QKeychain::NoError) {
        return Status::Ok;
    }
    if (outcome.finished && outcome.error == QKeychain::EntryNotFound) {
        return Status::NotFound;
    }
    m_gaveUp = !outcome.finished || outcome.error == QKeychain::NoBackendAvailable;
    return Status::Unavailable;
}

} // namespace dv
