#pragma once

#include <QString>
#include <QStringView>

namespace nimbra {

// A folder of this process in the temporary folder (mkdtemp: 0700, a fresh
// name), for files too large to keep in memory. It goes with the object,
// and whatever is left of it when the program ends (an object nobody got
// to delete) goes as the application object does. A folder left by a
// process that could not clean up (a crash, a kill) is found by its name,
// which carries its owner's process id, and by the lock the owner holds on
// it for as long as it runs.
class OwnedTempFolder
{
public:
    // "<temporary folder>/nimbra-<kind>-<pid>-XXXXXX"; kind holds no '-'.
    explicit OwnedTempFolder(QStringView kind);
    ~OwnedTempFolder();
    OwnedTempFolder(const OwnedTempFolder &) = delete;
    OwnedTempFolder &operator=(const OwnedTempFolder &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    QString filePath(const QString &name) const;

    // Removes the folders of processes that ended without removing theirs.
    // A folder goes only when its owner's process id names no process and
    // nobody holds its lock: another running client's stays, also one in
    // a sandbox whose process ids this one does not see. Returns how many
    // went. Safe on any thread.
    static int sweepAbandoned();

private:
    QString m_path;
    int m_lock = -1;
};

} // namespace nimbra
