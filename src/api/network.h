#pragma once

class QNetworkAccessManager;

namespace nimbra {

// The one process-wide network access manager (main thread): the service,
// media downloads, the lyrics lookup and the update manifest all share it,
// and with it one connection pool.
QNetworkAccessManager *sharedNetworkAccessManager();

} // namespace nimbra
