#pragma once

#include <QObject>
#include <QString>

namespace nimbra {

// The artist whose page covers the detail column. Any artist name in the
// interface opens its page through open(); writing an empty name closes it.
// Main thread only.
class ArtistNavigationStore : public QObject
{
    Q_OBJECT
    // Null while no artist page is shown.
    Q_PROPERTY(QString presentedArtistName READ presentedArtistName WRITE setPresentedArtistName NOTIFY
            presentedArtistNameChanged)

public:
    explicit ArtistNavigationStore(QObject *parent = nullptr);

    QString presentedArtistName() const { return m_presentedArtistName; }
    // An empty name, null or not, closes the page.
    void setPresentedArtistName(const QString &name);

    // Shows the page of name, trimmed of white space and line breaks; a name
    // that is blank after trimming is ignored. (The window, not the store,
    // takes keyboard focus away from the screen the page covers.)
    Q_INVOKABLE void open(QString name);
    Q_INVOKABLE void close();

signals:
    void presentedArtistNameChanged();

private:
    QString m_presentedArtistName;
};

} // namespace nimbra
