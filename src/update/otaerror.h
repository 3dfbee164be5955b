#pragma once

#include "api/error.h"

namespace nimbra {

// Each way the update manifest can fail, with the text the update store
// shows for it.
class OtaError : public Error
{
public:
    enum class Kind { HttpError, BadUrl, InvalidJson, MissingVersionCode, MissingDownloadUrl, DownloadFailed };

    static OtaError httpError(int statusCode);
    static OtaError badUrl() { return OtaError(Kind::BadUrl); }
    static OtaError invalidJson() { return OtaError(Kind::InvalidJson); }
    static OtaError missingVersionCode() { return OtaError(Kind::MissingVersionCode); }
    static OtaError missingDownloadUrl() { return OtaError(Kind::MissingDownloadUrl); }
    // The installer download ended without a whole file; reason says why.
    static OtaError downloadFailed(QString reason);

    Kind kind() const { return m_kind; }
    // HttpError: the status; 0 for the other kinds.
    int statusCode() const { return m_statusCode; }

    QString description() const override;

private:
    explicit OtaError(Kind kind) : m_kind(kind) { }

    Kind m_kind;
    int m_statusCode = 0;
    QString m_reason;
};

} // namespace nimbra
