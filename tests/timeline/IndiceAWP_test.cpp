#include "timeline/IndiceAWP.h"

#include "support/Paquetes.h"

#include <gtest/gtest.h>

using quelva::IndiceAWP;
using quelva::NivelAWP;
using quelva::PaqueteAWP;
using quelva::TimeLinerConfig;
using tl::paquete;
using tl::utc;

namespace {

QString codigos(const std::vector<PaqueteAWP>& ps)
{
    QStringList r;
    for (const PaqueteAWP& p : ps)
        r.append(p.codigo + QLatin1Char('#') + QString::number(p.colorIdx));
    return r.join(QLatin1Char(','));
}

QString codigos(const IndiceAWP::Lista& ps)
{
    QStringList r;
    for (const PaqueteAWP* p : ps)
        r.append(p->codigo + QLatin1Char('#') + QString::number(p->colorIdx));
    return r.join(QLatin1Char(','));
}

}  // namespace

// The index answers what the config's own walks answer, in the same order, on the awkward
// cases: ties in start (file order), a CWP sharing the CWA's code, two CWPs of one code, codes
// that sort differently by UTF-16 unit and by scalar value, parentless and orphan IWPs.
TEST(IndiceAWP, AgreesWithTheConfigsOwnLists)
{
    TimeLinerConfig c;
    auto add = [&](const QString& codigo, NivelAWP nivel, std::optional<QString> padre, QDateTime inicio) {
        PaqueteAWP p = paquete(codigo, nivel, std::move(padre), inicio);
        p.colorIdx = int(c.paquetes.size());  // tells same-code packages apart
        c.paquetes.push_back(p);
    };
    add("B", NivelAWP::cwa, std::nullopt, utc(2025, 1, 1));
    add(QString::fromUtf8("\xF0\x9F\x98\x80"), NivelAWP::cwa, std::nullopt, utc(2025, 1, 1));  // above U+FFFF
    add(QString::fromUtf8("\xEF\xBC\xA1"), NivelAWP::cwa, std::nullopt, utc(2025, 1, 1));      // U+FF21
    add("A", NivelAWP::cwa, std::nullopt, utc(2025, 1, 1));
    add("A", NivelAWP::cwp, "A", utc(2025, 2, 1));
    add("P", NivelAWP::cwp, "A", utc(2025, 2, 1));
    add("P", NivelAWP::cwp, "A", utc(2025, 1, 1));
    add("Q", NivelAWP::cwp, "B", utc(2025, 1, 1));
    add("i1", NivelAWP::iwp, "A", utc(2025, 3, 1));
    add("i2", NivelAWP::iwp, "P", utc(2025, 1, 5));
    add("i3", NivelAWP::iwp, "P", utc(2025, 3, 1));
    add("i4", NivelAWP::iwp, "Q", utc(2025, 1, 5));
    add("i5", NivelAWP::iwp, std::nullopt, utc(2025, 1, 5));
    add("i6", NivelAWP::iwp, "nadie", utc(2024, 1, 5));
    add("i7", NivelAWP::iwp, "A", utc(2025, 1, 5));
    add("w1", NivelAWP::pwp, "i2", utc(2025, 1, 5));
    const IndiceAWP indice(c);

    EXPECT_EQ(codigos(indice.cwas()), codigos(c.cwas()));
    EXPECT_EQ(codigos(indice.iwps()), codigos(c.iwps()));
    for (const PaqueteAWP& p : c.paquetes) {
        EXPECT_EQ(codigos(indice.alcanceIWP(p)), codigos(c.alcanceIWP(p))) << p.codigo.toStdString();
        for (NivelAWP nivel : quelva::todosLosNivelesAWP)
            EXPECT_EQ(codigos(indice.hijos(p.codigo, nivel)), codigos(c.hijos(p.codigo, nivel)))
                << p.codigo.toStdString();
        EXPECT_EQ(codigos(indice.iwpsDeCWA(p.codigo)), codigos(c.iwpsDeCWA(p.codigo))) << p.codigo.toStdString();
    }
    EXPECT_EQ(codigos(indice.hijos("nadie", NivelAWP::iwp)), "i6#13");
    EXPECT_EQ(codigos(indice.hijos("ninguno", NivelAWP::iwp)), "");
}
