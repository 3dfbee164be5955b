#include "platform/keychainsecretstore.h"

#include <qt6keychain/keychain.h>

#include <QCoro/QCoroSignal>

#include <memory>

namespace nimbra {

namespace {

struct DeleteLater
{
    void operator()(QObject *object) const { object->deleteLater(); }
};

template<typename Job> std::unique_ptr<Job, DeleteLater> makeJob(const QString &service, const QString &key)
{
    std::unique_ptr<Job, DeleteLater> job(new Job(service));
    // Deleted by us once its result has been read, not as it signals.
    job->setAutoDelete(false);
    // QtKeychain would otherwise write the secret into a settings file
    // when no keyring answers.
    job->setInsecureFallback(false);
    job->setKey(key);
    return job;
}

// Starts the job and resumes once it has finished; the job's result is
// read from it afterwards. Nothing of the store is touched here, so the
// store may go away while a job runs.
QCoro::Task<void> run(QKeychain::Job *job)
{
    job->start();
    co_await qCoro(job, &QKeychain::Job::finished);
}

} // namespace

KeychainSecretStore::KeychainSecretStore(QString service) : m_service(std::move(service)) { }

QCoro::Task<std::optional<QByteArray>> KeychainSecretStore::read(QString key)
{
    const auto job = makeJob<QKeychain::ReadPasswordJob>(m_service, key);
    co_await run(job.get());
    if (job->error() == QKeychain::EntryNotFound)
        co_return std::nullopt;
    if (job->error() != QKeychain::NoError)
        throw SecretStoreUnreadable();
    co_return job->binaryData();
}

QCoro::Task<bool> KeychainSecretStore::write(QString key, QString secret)
{
    const auto job = makeJob<QKeychain::WritePasswordJob>(m_service, key);
    // Text mode keeps the secret's own UTF-8 bytes in the keyring.
    job->setTextData(secret);
    co_await run(job.get());
    co_return job->error() == QKeychain::NoError;
}

QCoro::Task<bool> KeychainSecretStore::remove(QString key)
{
    const auto job = makeJob<QKeychain::DeletePasswordJob>(m_service, key);
    co_await run(job.get());
    co_return job->error() == QKeychain::NoError || job->error() == QKeychain::EntryNotFound;
}

} // namespace nimbra
