#pragma once

#include "timeline/TimeLiner.h"

#include <QObject>

namespace quelva {

// The open project's one timeline; every change of config is announced.
class TimeLinerStore : public QObject {
    Q_OBJECT
public:
    explicit TimeLinerStore(QObject* parent = nullptr);
    TimeLinerStore(TimeLinerConfig config, QObject* parent);

    const TimeLinerConfig& config() const { return config_; }
    void setConfig(TimeLinerConfig config);

signals:
    void configChanged();

private:
    TimeLinerConfig config_;
};

}  // namespace quelva
