#include "timeline/TimeLinerStore.h"

namespace quelva {

TimeLinerStore::TimeLinerStore(QObject* parent) : QObject(parent) {}

TimeLinerStore::TimeLinerStore(TimeLinerConfig config, QObject* parent)
    : QObject(parent), config_(std::move(config))
{
}

void TimeLinerStore::setConfig(TimeLinerConfig config)
{
    config_ = std::move(config);
    emit configChanged();
}

}  // namespace quelva
