#pragma once

#include "api/error.h"

#include <QString>

namespace nimbra {

// Why an offline copy could not be saved: the file server refused it, or
// the file could not be written into the cache folder.
class AudioCacheError : public Error
{
public:
    enum class Kind { HttpError, FileSystem };

    static AudioCacheError httpError(int statusCode);
    static AudioCacheError fileSystem(QString text);

    Kind kind() const { return m_kind; }
    // HttpError: the status; 0 otherwise.
    int statusCode() const { return m_statusCode; }

    QString description() const override;

private:
    explicit AudioCacheError(Kind kind) : m_kind(kind) { }

    Kind m_kind;
    int m_statusCode = 0;
    QString m_text;
};

} // namespace nimbra
