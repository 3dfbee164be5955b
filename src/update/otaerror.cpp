#include "update/otaerror.h"

using namespace Qt::StringLiterals;

namespace nimbra {

OtaError OtaError::httpError(int statusCode)
{
    OtaError error(Kind::HttpError);
    error.m_statusCode = statusCode;
    return error;
}

OtaError OtaError::downloadFailed(QString reason)
{
    OtaError error(Kind::DownloadFailed);
    error.m_reason = std::move(reason);
    return error;
}

QString OtaError::description() const
{
    switch (m_kind) {
    case Kind::HttpError:
        return u"Манифест недоступен (HTTP "_s + QString::number(m_statusCode) + u')';
    case Kind::BadUrl:
        return u"Неверный URL манифеста"_s;
    case Kind::InvalidJson:
        return u"Ответ сервера не является JSON"_s;
    case Kind::MissingVersionCode:
        return u"В манифесте отсутствует versionCode"_s;
    case Kind::MissingDownloadUrl:
        return u"В манифесте нет ссылки на загрузку"_s;
    case Kind::DownloadFailed:
        return u"Не удалось загрузить обновление: "_s + m_reason;
    }
    return {};
}

} // namespace nimbra
