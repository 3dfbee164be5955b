#include "backend.h"

#include "httputil.h"

#include <httplib.h>

using namespace Qt::StringLiterals;

namespace devservice {

std::optional<UserRecord> Backend::requireUser(const httplib::Request &req, httplib::Response &res) const
{
    const auto token = bearerToken(req);
    if (!token) {
        sendDetail(res, 401, u"Не авторизован"_s);
        return std::nullopt;
    }
    auto user = accounts.userForToken(*token);
    if (!user)
        sendDetail(res, 401, u"Недействительный токен"_s);
    return user;
}

UserView Backend::optionalView(const httplib::Request &req) const
{
    const auto token = bearerToken(req);
    if (!token)
        return UserView::guest();
    const auto user = accounts.userForToken(*token);
    return user ? accounts.view(user->id) : UserView::guest();
}

} // namespace devservice
