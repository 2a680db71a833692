#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <mutex>
#include <vector>

namespace platform {

// Names of the menu commands; the poster and the observer share these.
namespace NotificationName {
inline constexpr const char* abrirIFC = "com.quelva.abrirIFC";
inline constexpr const char* guardarProyecto = "com.quelva.guardarProyecto";
inline constexpr const char* abrirProyecto = "com.quelva.abrirProyecto";
inline constexpr const char* exportarPaquete = "com.quelva.exportarPaquete";
inline constexpr const char* importarPaquete = "com.quelva.importarPaquete";
inline constexpr const char* abrirQTO = "com.quelva.abrirQTO";
}  // namespace NotificationName

// A process-wide centre of named notifications without payload. Each observer
// is tied to a context object: its callback runs on the context's thread
// (directly when posted from that thread, queued otherwise) and the
// subscription ends with the context.
class NotificationCenter {
public:
    using Callback = std::function<void()>;

    static NotificationCenter& defaultCenter();

    // Returns an id for unsubscribe(); the context must not be null.
    int subscribe(const QString& name, QObject* context, Callback callback);
    void unsubscribe(int id);
    void post(const QString& name);

    int observerCount(const QString& name) const;

private:
    struct Observer {
        int id;
        QString name;
        QPointer<QObject> context;
        Callback callback;
    };
    void removeContext(QObject* context);
    bool stillSubscribed(int id) const;

    mutable std::mutex mutex_;
    std::vector<Observer> observers_;
    int nextId_ = 1;
};

}  // namespace platform
