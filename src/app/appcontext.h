#pragma once

#include <QObject>
#include <QQmlApplicationEngine>

namespace nimbra {

// The composition root: owns every long-lived object of the process and
// hands them to QML. Nothing else creates stores.
class AppContext : public QObject
{
    Q_OBJECT
public:
    explicit AppContext(QObject *parent = nullptr);
    ~AppContext() override;

    // Loads the window; false when QML could not be loaded.
    bool start();

private:
    QQmlApplicationEngine m_engine;
};

} // namespace nimbra
