#include "platform/NotificationCenter.h"

#include <QThread>

#include <algorithm>

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter()
{
    // Never destroyed: observers may end after static destructors have run.
    static NotificationCenter* center = new NotificationCenter;
    return *center;
}

int NotificationCenter::subscribe(const QString& name, QObject* context, Callback callback)
{
    if (!context || !callback)
        return 0;
    int id = 0;
    {
        std::lock_guard lock(mutex_);
        id = nextId_++;
        observers_.push_back({id, name, context, std::move(callback)});
    }
    QObject::connect(context, &QObject::destroyed, context,
                     [this](QObject* gone) { removeContext(gone); }, Qt::DirectConnection);
    return id;
}

void NotificationCenter::unsubscribe(int id)
{
    std::lock_guard lock(mutex_);
    std::erase_if(observers_, [id](const Observer& o) { return o.id == id; });
}

void NotificationCenter::removeContext(QObject* context)
{
    std::lock_guard lock(mutex_);
    std::erase_if(observers_, [context](const Observer& o) {
        return o.context.isNull() || o.context.data() == context;
    });
}

void NotificationCenter::post(const QString& name)
{
    // Copy first: a callback may subscribe or unsubscribe while we deliver.
    std::vector<Observer> matching;
    {
        std::lock_guard lock(mutex_);
        for (const Observer& o : observers_)
            if (o.name == name)
                matching.push_back(o);
    }
    for (const Observer& o : matching) {
        QObject* context = o.context.data();
        if (!context || !stillSubscribed(o.id))
            continue;
        if (context->thread() == QThread::currentThread()) {
            o.callback();
        } else {
            Callback cb = o.callback;
            QMetaObject::invokeMethod(context, [cb] { cb(); }, Qt::QueuedConnection);
        }
    }
}

bool NotificationCenter::stillSubscribed(int id) const
{
    std::lock_guard lock(mutex_);
    return std::any_of(observers_.begin(), observers_.end(), [id](const Observer& o) { return o.id == id; });
}

int NotificationCenter::observerCount(const QString& name) const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(observers_.begin(), observers_.end(), [&](const Observer& o) {
        return o.name == name && !o.context.isNull();
    }));
}

}  // namespace platform
