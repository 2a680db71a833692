#pragma once

#include "timeline/TimeLiner.h"

#include <QObject>

#include <functional>

namespace quelva {

// The open project's one timeline; every change of config is announced.
class TimeLinerStore : public QObject {
    Q_OBJECT
public:
    explicit TimeLinerStore(QObject* parent = nullptr);
    TimeLinerStore(TimeLinerConfig config, QObject* parent);

    const TimeLinerConfig& config() const { return config_; }
    void setConfig(TimeLinerConfig config);
    // Changes config in place (the binding editors write through) and announces it once.
    void modificar(const std::function<void(TimeLinerConfig&)>& cambio);

    // Grows with every announced change: views keep what they derive from config by it.
    quint64 version() const { return version_; }

signals:
    void configChanged();

private:
    TimeLinerConfig config_;
    quint64 version_ = 0;
};

}  // namespace quelva
