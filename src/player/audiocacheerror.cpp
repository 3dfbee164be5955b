#include "player/audiocacheerror.h"

using namespace Qt::StringLiterals;

namespace nimbra {

AudioCacheError AudioCacheError::httpError(int statusCode)
{
    AudioCacheError e(Kind::HttpError);
    e.m_statusCode = statusCode;
    return e;
}

AudioCacheError AudioCacheError::fileSystem(QString text)
{
    AudioCacheError e(Kind::FileSystem);
    e.m_text = std::move(text);
    return e;
}

QString AudioCacheError::description() const
{
    if (m_kind == Kind::HttpError)
        return u"Ошибка сервера ("_s + QString::number(m_statusCode) + u")"_s;
    return u"Не удалось сохранить трек: "_s + m_text;
}

} // namespace nimbra
