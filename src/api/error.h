#pragma once

#include <QString>

#include <exception>

namespace nimbra {

// Base of every error the client raises on purpose. Stores show
// description() as their message text, so it is always user-facing Russian.
class Error : public std::exception
{
public:
    ~Error() override = default;
    virtual QString description() const = 0;
    const char *what() const noexcept override;

private:
    mutable QByteArray m_what;
};

// The message a store shows for any exception that reached its boundary.
QString describeException(const std::exception_ptr &error);

} // namespace nimbra
