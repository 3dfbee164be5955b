#include "api/settle.h"

#include "api/apierror.h"
#include "api/error.h"

#include <QLoggingCategory>

namespace nimbra {

namespace {

Q_LOGGING_CATEGORY(droppedFailures, "nimbra.dropped", QtInfoMsg)

bool isCancellation(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const ApiError &error) {
        return error.isCancelled();
    } catch (...) {
        return false; // any other failure is one to write down
    }
}

} // namespace

void logDroppedFailure(const char *what, const std::exception_ptr &failure)
{
    if (!failure || isCancellation(failure))
        return;
    qCInfo(droppedFailures).noquote() << what << u':' << describeException(failure);
}

} // namespace nimbra
