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
    ++version_;
    emit configChanged();
}

void TimeLinerStore::modificar(const std::function<void(TimeLinerConfig&)>& cambio)
{
    cambio(config_);
    ++version_;
    emit configChanged();
}

}  // namespace quelva
