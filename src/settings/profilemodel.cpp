#include "settings/profilemodel.h"

#include "api/apiconfig.h"
#include "api/boundary.h"
#include "api/session.h"
#include "api/storeregistry.h"
#include "account/badgebuilder.h"
#include "format/russiandate.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

const QString kNone = u"—"_s;

} // namespace

ProfileModel::ProfileModel(QObject *parent) : QObject(parent)
{
    // The stores registered when the screen is made.
    m_auth = StoreRegistry::get<AuthStore>();
    if (m_auth) {
        connect(m_auth, &AuthStore::userChanged, this, &ProfileModel::onUserChanged);
        connect(m_auth->session(), &Session::tokenChanged, this, &ProfileModel::profileChanged);
    }
    m_syncedUserId = user() ? user()->id : QString();
    syncFieldsFromUser();
}

const UserOut *ProfileModel::user() const
{
    return m_auth && m_auth->user() ? &*m_auth->user() : nullptr;
}

void ProfileModel::onUserChanged()
{
    const QString id = user() ? user()->id : QString();
    if (id != m_syncedUserId) {
        m_syncedUserId = id;
        syncFieldsFromUser();
    }
    emit profileChanged();
}

bool ProfileModel::isAvailable() const
{
    return m_auth && m_auth->hasToken() && m_auth->user();
}

QString ProfileModel::username() const
{
    return user() ? user()->username : QString();
}

QString ProfileModel::initial() const
{
    const QString name = username();
    if (name.isEmpty())
        return {};
    // One character as the reader sees it: a surrogate pair stays whole.
    const qsizetype length = name.at(0).isHighSurrogate() && name.size() > 1 ? 2 : 1;
    return name.left(length).toUpper();
}

QUrl ProfileModel::avatarUrl() const
{
    if (!user() || !user()->avatarUrl)
        return {};
    return ApiConfig::resolve(*user()->avatarUrl).value_or(QUrl());
}

QVariantList ProfileModel::badges() const
{
    return user() ? BadgeBuilder::itemsVariant(*user()) : QVariantList();
}

QString ProfileModel::roleCaption() const
{
    if (!user())
        return {};
    if (user()->role == "admin"_L1)
        return u"Администратор сервиса"_s;
    if (!user()->customRoles.isEmpty())
        return u"Кастомные роли отображаются в плеере и профиле"_s;
    return {};
}

bool ProfileModel::hasCustomRoles() const
{
    return user() && !user()->customRoles.isEmpty();
}

QString ProfileModel::userId() const
{
    return user() ? user()->id : QString();
}

QString ProfileModel::role() const
{
    return user() ? user()->role : QString();
}

QString ProfileModel::emailText() const
{
    return user() && user()->email ? *user()->email : kNone;
}

QString ProfileModel::catalogArtistText() const
{
    return user() && user()->catalogArtistName ? *user()->catalogArtistName : kNone;
}

QString ProfileModel::createdText() const
{
    if (!user())
        return {};
    return russianLocalLongDate(user()->createdAt).value_or(kNone);
}

void ProfileModel::setEmail(const QString &email)
{
    assignAndNotify(this, m_email, email, &ProfileModel::emailChanged);
}

void ProfileModel::setCatalogArtistName(const QString &name)
{
    assignAndNotify(this, m_catalogArtistName, name, &ProfileModel::catalogArtistNameChanged);
}

void ProfileModel::syncFieldsFromUser()
{
    if (!user())
        return;
    setEmail(user()->email.value_or(QString()));
    setCatalogArtistName(user()->catalogArtistName.value_or(QString()));
}

void ProfileModel::save()
{
    saveAsync();
}

void ProfileModel::signOut()
{
    if (m_auth)
        m_auth->signOut();
}

QCoro::Task<void> ProfileModel::saveAsync()
{
    QPointer<AuthStore> auth = m_auth;
    QPointer<Session> session = auth ? auth->session() : nullptr;
    if (!session || !session->token() || m_saving)
        co_return;
    const QString token = *session->token();
    QPointer<ProfileModel> self(this);
    setSaving(true);
    setErrorText({});
    setSaveMessage({});

    // Sent as typed, blanks included; an empty field is left out, so the
    // service keeps its value.
    const std::optional<QString> email = m_email.isEmpty() ? std::nullopt : std::optional(m_email);
    const std::optional<QString> artist
        = m_catalogArtistName.isEmpty() ? std::nullopt : std::optional(m_catalogArtistName);

    // A sign-out or another sign-in while the request runs makes the answer
    // someone else's: it must not become the new session's profile.
    auto tokenReplaced = std::make_shared<bool>(false);
    const QMetaObject::Connection watch
        = connect(session, &Session::tokenChanged, session, [tokenReplaced] { *tokenReplaced = true; });

    Outcome<UserOut> outcome = co_await runAtBoundary(m_api.patchProfile(token, email, artist));

    QObject::disconnect(watch);
    if (outcome && auth && !*tokenReplaced)
        auth->setUser(*outcome.value);
    if (!self)
        co_return;
    if (outcome)
        setSaveMessage(u"Профиль сохранён"_s);
    else
        setErrorText(outcome.errorText);
    setSaving(false);
}

void ProfileModel::setSaving(bool saving)
{
    assignAndNotify(this, m_saving, saving, &ProfileModel::isSavingChanged);
}

void ProfileModel::setSaveMessage(const QString &text)
{
    assignAndNotify(this, m_saveMessage, text, &ProfileModel::saveMessageChanged);
}

void ProfileModel::setErrorText(const QString &text)
{
    assignAndNotify(this, m_errorText, text, &ProfileModel::errorTextChanged);
}

} // namespace nimbra
