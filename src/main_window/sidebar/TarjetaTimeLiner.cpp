#include "main_window/sidebar/TarjetaTimeLiner.h"

#include "main_window/ContentView.h"
#include "platform/NumberFormat.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"
#include "timeline/TimeLinerStore.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelva {

TarjetaTimeLiner::TarjetaTimeLiner(ContentView& vista, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TarjetaTimeLiner"));
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(4);

    const TimeLinerConfig& config = vista.timeLinerStore()->config();
    const auto iwps = config.iwps();
    if (!iwps.empty()) {
        double suma = 0;
        for (const PaqueteAWP& p : iwps)
            suma += p.progreso;
        const double avance = suma / double(iwps.size());

        auto* resumen = new QWidget(this);
        resumen->setObjectName(QStringLiteral("resumenTimeLiner"));
        auto* r = new QVBoxLayout(resumen);
        r->setContentsMargins(0, 0, 0, 4);
        r->setSpacing(2);
        auto* conteo = new QLabel(platform::qformat("%lld", static_cast<long long>(iwps.size())) +
                                      QStringLiteral(" IWP · ") +
                                      platform::qformat("%lld", static_cast<long long>(config.cwas().size())) +
                                      QStringLiteral(" CWA"),
                                  resumen);
        conteo->setObjectName(QStringLiteral("conteo"));
        conteo->setStyleSheet(QStringLiteral("font-size: 11px;"));
        r->addWidget(conteo);
        auto* barra = new QProgressBar(resumen);
        barra->setObjectName(QStringLiteral("barraAvance"));
        barra->setRange(0, 1000);
        barra->setValue(int(std::clamp(avance, 0.0, 1.0) * 1000));
        barra->setTextVisible(false);
        barra->setFixedHeight(5);
        const QColor tinte = platform::systemColor(avance >= 1.0 ? platform::SystemColor::green
                                                                 : platform::SystemColor::blue);
        barra->setProperty("tinte", tinte.name());
        barra->setStyleSheet(QStringLiteral("QProgressBar { background: rgba(255,255,255,30); border: none;"
                                            " border-radius: 2px; } QProgressBar::chunk { background: %1;"
                                            " border-radius: 2px; }")
                                 .arg(tinte.name()));
        r->addWidget(barra);
        auto* texto = new QLabel(platform::qformat("Avance: %.0f%%", avance * 100), resumen);
        texto->setObjectName(QStringLiteral("avance"));
        texto->setStyleSheet(QStringLiteral("font-size: 10px; color: rgba(235,235,245,150);"));
        r->addWidget(texto);
        col->addWidget(resumen);
    }

    auto* abrir = new QPushButton(platform::symbolIcon(QStringLiteral("calendar.badge.clock"), Qt::white),
                                  QStringLiteral("Abrir Timeline"), this);
    abrir->setObjectName(QStringLiteral("botonAbrirTimeline"));
    abrir->setCursor(Qt::PointingHandCursor);
    const QColor azul = platform::systemColor(platform::SystemColor::blue);
    abrir->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; border: none; border-radius: 6px;"
                                        " padding: 6px; font-size: 13px; font-weight: 600; }"
                                        "QPushButton:hover { background: %2; }")
                             .arg(azul.name(), azul.lighter(115).name()));
    connect(abrir, &QPushButton::clicked, &vista, [v = &vista] { v->abrirVentanaTimeLiner(); });
    col->addWidget(abrir);
}

}  // namespace quelva
