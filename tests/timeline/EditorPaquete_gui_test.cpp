#include "timeline/HojasTimeLiner.h"
#include "timeline/Moneda.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/editor/ui/CampoNumerico.h"
#include "timeline/editor/ui/EditorPaqueteView.h"
#include "timeline/editor/ui/PanelElementos.h"
#include "timeline/ui/TimeLinerView.h"

#include "support/Entorno.h"
#include "support/Paquetes.h"

#include "viewport/ViewportController.h"
#include "support/Esperar.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QTest>

#include <gtest/gtest.h>

using namespace quelva;
using tl::paquete;
using tl::utc;

namespace {

template <typename T = QWidget>
T* hijo(QWidget* raiz, const char* nombre)
{
    T* w = raiz->findChild<T*>(nombre);
    EXPECT_TRUE(w) << nombre;
    return w;
}

QString texto(QWidget* raiz, const char* nombre)
{
    auto* l = raiz->findChild<QLabel*>(nombre);
    return l ? l->text() : QStringLiteral("<ninguno>");
}

bool visible(QWidget* raiz, const char* nombre)
{
    auto* w = raiz->findChild<QWidget*>(nombre);
    return w && w->isVisible();
}

// What the user types or pastes into a line edit, all at once.
void escribir(QLineEdit* campo, const QString& t)
{
    campo->setText(t);
    emit campo->textEdited(t);
}

PropiedadesPorEspecialidad propiedades(std::initializer_list<std::pair<QString, std::vector<std::string>>> lista)
{
    PropiedadesPorEspecialidad r;
    for (const auto& [clave, nombres] : lista) {
        TablaPropiedadesIFC& t = r[clave];
        for (const std::string& n : nombres)
            t[n] = {};
    }
    return r;
}

TimeLinerConfig proyecto(std::vector<PaqueteAWP> paquetes)
{
    TimeLinerConfig c;
    c.paquetes = std::move(paquetes);
    c.fechaInicio = utc(2025, 1, 1);
    c.fechaFin = utc(2025, 12, 31);
    return c;
}

// The sheet over a working copy and a store, shown.
struct Hoja {
    TimeLinerStore store;
    PaqueteAWP trabajo;
    EditorPaqueteView* vista;

    Hoja(TimeLinerConfig config, PaqueteAWP p, PropiedadesPorEspecialidad props = {})
        : store(std::move(config), nullptr), trabajo(std::move(p))
    {
        vista = new EditorPaqueteView(trabajo, store, props);
        vista->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(vista, testsupport::kLimiteCuelgue));
    }
    ~Hoja() { delete vista; }
};

// Clicks a row of the linked-elements list by its text (a header's text is its key).
int filaDe(PanelElementos* panel, const QString& t)
{
    ModeloElementos* m = panel->modelo();
    for (int i = 0; i < m->rowCount(); ++i)
        if (m->data(m->index(i), Qt::DisplayRole).toString() == t)
            return i;
    return -1;
}

void clicFila(PanelElementos* panel, const QString& t, bool enBoton = false)
{
    const int fila = filaDe(panel, t);
    ASSERT_GE(fila, 0) << t.toStdString();
    QListView* lista = panel->lista();
    lista->scrollTo(panel->modelo()->index(fila));
    const QRect r = lista->visualRect(panel->modelo()->index(fila));
    const QPoint p = enBoton ? QPoint(r.right() - 20, r.center().y()) : r.center();
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, p);
}

}  // namespace

TEST(EditorPaquete, NewPackageFromTheWindowIsSavedAndDeletingDetachesChildren)
{
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LANG", "es_CL.UTF-8"}, {"TZ", "UTC"}};
    registrarEditorPaquete();
    struct Quitar {
        ~Quitar() { hojasTimeLiner().editor = nullptr; }  // other tests expect an empty registry
    } quitar;
    const PaqueteAWP cwa = paquete("CWA-01", NivelAWP::cwa, std::nullopt, utc(2025, 2, 1), utc(2025, 9, 1));
    TimeLinerStore store(proyecto({cwa}), nullptr);
    ViewportController viewport;
    std::map<QString, EspecialidadBIM> especialidades;
    const PropiedadesPorEspecialidad tabla = propiedades({{"ARQ", {"Muro 1", "Muro 2", "Losa"}}, {"EST", {"Viga"}}});
    auto* ventana = new TimeLinerView(
        store, [&]() -> const PropiedadesPorEspecialidad& { return tabla; }, {}, &viewport,
        [&]() -> const std::map<QString, EspecialidadBIM>& { return especialidades; });
    ventana->resize(1200, 720);
    ventana->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ventana, testsupport::kLimiteCuelgue));

    QTest::mouseClick(hijo<QAbstractButton>(ventana, "nuevoPaquete"), Qt::LeftButton);
    auto* hoja = ventana->findChild<EditorPaqueteView*>();
    ASSERT_TRUE(hoja);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(hoja, testsupport::kLimiteCuelgue));
    EXPECT_EQ(texto(hoja, "tituloEditor"), "Nuevo Paquete AWP");
    EXPECT_FALSE(visible(hoja, "eliminar"));

    QTest::keyClicks(hijo<QLineEdit>(hoja, "codigo"), "IWP-010");
    auto* padre = hijo<QComboBox>(hoja, "padre");
    EXPECT_EQ(padre->itemText(1), "CWA-01");
    padre->setCurrentIndex(1);
    emit padre->activated(1);
    hijo<QDateEdit>(hoja, "inicio")->setDate(QDate(2025, 1, 20));
    hijo<QDateEdit>(hoja, "fin")->setDate(QDate(2025, 10, 5));
    for (const char* n : {"Viga", "Losa", "Muro 2"})
        clicFila(hoja->panelElementos(), n);
    EXPECT_EQ(texto(hoja, "cuentaElementos"), "3");
    EXPECT_EQ(texto(hoja, "elementosAsignados"), "3 elemento(s) asignado(s)");
    auto* guardar = hijo<QPushButton>(hoja, "guardar");
    ASSERT_TRUE(guardar->isEnabled());
    QTest::mouseClick(guardar, Qt::LeftButton);

    ASSERT_EQ(store.config().paquetes.size(), 2u);
    const PaqueteAWP& nuevo = store.config().paquetes[1];
    EXPECT_EQ(nuevo.codigo, "IWP-010");
    EXPECT_EQ(nuevo.parentCodigo, "CWA-01");
    EXPECT_EQ(nuevo.elementosNombre, (QStringList{"Viga", "Losa", "Muro 2"}));
    EXPECT_EQ(nuevo.fechaInicio.toUTC().date(), QDate(2025, 1, 20));
    EXPECT_EQ(store.config().fechaInicio.date(), QDate(2024, 12, 21));
    EXPECT_EQ(store.config().fechaFin.date(), QDate(2025, 10, 20));
    ESPERAR_QUE(!ventana->findChild<EditorPaqueteView*>());

    // Edit the CWA and delete it: its child loses its parent.
    ventana->controlador().editarPaquete(store.config().paquetes[0]);
    EditorPaqueteView* edicion = nullptr;
    ESPERAR_QUE((edicion = ventana->findChild<EditorPaqueteView*>()) != nullptr);
    EXPECT_EQ(texto(edicion, "tituloEditor"), "Editar: CWA-01");
    QTest::mouseClick(hijo<QPushButton>(edicion, "eliminar"), Qt::LeftButton);
    ASSERT_EQ(store.config().paquetes.size(), 1u);
    EXPECT_EQ(store.config().paquetes[0].parentCodigo, std::nullopt);
    EXPECT_EQ(store.config().fechaInicio.date(), QDate(2024, 12, 21));
    delete ventana;
}

TEST(EditorPaquete, HeaderLevelParentProgressAndColour)
{
    const PaqueteAWP cwa = paquete("A", NivelAWP::cwa);
    const PaqueteAWP cwp = paquete("P", NivelAWP::cwp, "A");
    const PaqueteAWP cwa2 = paquete("A2", NivelAWP::cwa);
    PaqueteAWP nuevo;
    Hoja h(proyecto({cwa, cwp, cwa2}), nuevo);
    EditorPaqueteView* v = h.vista;
    EXPECT_EQ(v->size(), QSize(780, 560));
    EXPECT_EQ(hijo<QWidget>(v, "formulario")->minimumWidth(), 280);
    EXPECT_EQ(hijo<QWidget>(v, "formulario")->maximumWidth(), 320);
    EXPECT_GE(v->panelElementos()->minimumWidth(), 240);
    EXPECT_TRUE(hijo<QAbstractButton>(v, "nivelIWP")->isChecked());
    EXPECT_EQ(hijo<QLineEdit>(v, "codigo")->placeholderText(), "IWP-001");
    EXPECT_EQ(hijo<QLineEdit>(v, "nombre")->placeholderText(), QString::fromUtf8("Descripción"));
    EXPECT_EQ(texto(v, "errorValidacion"), QString::fromUtf8("El código es obligatorio"));
    EXPECT_FALSE(hijo<QPushButton>(v, "guardar")->isEnabled());

    // The parent picker lists CWAs and CWPs in list order.
    QTest::keyClicks(hijo<QLineEdit>(v, "codigo"), "I");
    auto* padre = hijo<QComboBox>(v, "padre");
    ASSERT_TRUE(padre->isVisible());
    QStringList entradas;
    for (int i = 0; i < padre->count(); ++i)
        entradas.append(padre->itemText(i));
    EXPECT_EQ(entradas, (QStringList{"Sin padre", "A", "P", "A2"}));
    EXPECT_EQ(texto(v, "errorValidacion"), "Selecciona un paquete padre");
    emit padre->activated(2);
    EXPECT_EQ(h.trabajo.parentCodigo, "P");
    EXPECT_TRUE(hijo<QPushButton>(v, "guardar")->isEnabled());
    EXPECT_FALSE(visible(v, "errorValidacion"));

    // To CWA: no picker, the parent kept; to PWP: no IWP to hang from, but the kept parent saves.
    QTest::mouseClick(hijo<QAbstractButton>(v, "nivelCWA"), Qt::LeftButton);
    EXPECT_EQ(h.trabajo.nivel, NivelAWP::cwa);
    EXPECT_FALSE(padre->isVisible());
    EXPECT_EQ(h.trabajo.parentCodigo, "P");
    QTest::mouseClick(hijo<QAbstractButton>(v, "nivelPWP"), Qt::LeftButton);
    EXPECT_FALSE(padre->isVisible());
    EXPECT_TRUE(hijo<QPushButton>(v, "guardar")->isEnabled());
    QTest::mouseClick(hijo<QAbstractButton>(v, "nivelIWP"), Qt::LeftButton);
    emit padre->activated(0);
    EXPECT_EQ(h.trabajo.parentCodigo, std::nullopt);
    EXPECT_FALSE(hijo<QPushButton>(v, "guardar")->isEnabled());

    // Progress in hundredths; the fifth swatch is index 4.
    hijo<QSlider>(v, "deslizadorAvance")->setValue(46);
    EXPECT_DOUBLE_EQ(h.trabajo.progreso, 0.46);
    EXPECT_EQ(texto(v, "avance"), "Avance: 46%");
    QTest::mouseClick(v->muestras(), Qt::LeftButton, {}, QPoint(4 * 26 + 10, 10));
    EXPECT_EQ(h.trabajo.colorIdx, 4);

    // Cancel writes nothing.
    const TimeLinerConfig antes = h.store.config();
    QTest::mouseClick(hijo<QPushButton>(v, "cancelar"), Qt::LeftButton);
    EXPECT_EQ(h.store.config(), antes);
    EXPECT_EQ(v->result(), QDialog::Rejected);
}

TEST(EditorPaquete, StoredPackageTitleFollowsTheCode)
{
    const PaqueteAWP cwa = paquete("CWA-7", NivelAWP::cwa);
    PaqueteAWP p = cwa;
    p.progreso = 0.456;
    Hoja h(proyecto({cwa}), p);
    EXPECT_EQ(texto(h.vista, "tituloEditor"), "Editar: CWA-7");
    EXPECT_EQ(texto(h.vista, "avance"), "Avance: 46%");
    EXPECT_TRUE(visible(h.vista, "eliminar"));
    QTest::keyClicks(hijo<QLineEdit>(h.vista, "nombre"), "Zona norte");
    EXPECT_EQ(texto(h.vista, "tituloEditor"), "Editar: CWA-7");
    QTest::keyClicks(hijo<QLineEdit>(h.vista, "codigo"), "b");
    EXPECT_EQ(texto(h.vista, "tituloEditor"), "Editar: CWA-7b");
    EXPECT_DOUBLE_EQ(h.trabajo.progreso, 0.456);  // showing it does not round it
}

TEST(EditorPaquete, RealDatesRegisterClearAndWarn)
{
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LANG", "es_CL.UTF-8"}, {"TZ", "America/Santiago"}};
    PaqueteAWP p = paquete("I", NivelAWP::iwp, "A", utc(2025, 3, 10, 15), utc(2025, 4, 10, 15));
    Hoja h(proyecto({paquete("A", NivelAWP::cwa)}), p);
    EditorPaqueteView* v = h.vista;
    EXPECT_TRUE(visible(v, "registrarInicioReal"));
    EXPECT_TRUE(visible(v, "registrarFinReal"));
    EXPECT_FALSE(visible(v, "insigniaInicioReal"));
    EXPECT_FALSE(visible(v, "avisoFechas"));

    QTest::mouseClick(hijo<QPushButton>(v, "registrarInicioReal"), Qt::LeftButton);
    EXPECT_EQ(h.trabajo.fechaInicioReal, utc(2025, 3, 10, 15));
    EXPECT_EQ(hijo<QDateEdit>(v, "fechaInicioReal")->date(), QDate(2025, 3, 10));
    EXPECT_EQ(texto(v, "insigniaInicioReal"), "En plazo");
    hijo<QDateEdit>(v, "fechaInicioReal")->setDate(QDate(2025, 3, 12));
    EXPECT_EQ(texto(v, "insigniaInicioReal"), "-2d retraso");
    EXPECT_EQ(h.trabajo.fechaInicioReal, utc(2025, 3, 12, 15));  // the time of day is kept

    // The real end offers nothing before the real start.
    QTest::mouseClick(hijo<QPushButton>(v, "registrarFinReal"), Qt::LeftButton);
    auto* finReal = hijo<QDateEdit>(v, "fechaFinReal");
    EXPECT_EQ(finReal->minimumDate(), QDate(2025, 3, 12));
    // Moving the real start past the real end is allowed and warned about.
    hijo<QDateEdit>(v, "fechaInicioReal")->setDate(QDate(2025, 4, 20));
    EXPECT_TRUE(visible(v, "avisoFechas"));
    EXPECT_EQ(texto(v, "textoAviso"), "La fecha de fin real no puede ser anterior al inicio real.");
    EXPECT_EQ(h.trabajo.fechaFinReal, utc(2025, 4, 10, 15));
    EXPECT_TRUE(hijo<QPushButton>(v, "guardar")->isEnabled());

    QTest::mouseClick(hijo<QAbstractButton>(v, "quitarFinReal"), Qt::LeftButton);
    EXPECT_EQ(h.trabajo.fechaFinReal, std::nullopt);
    EXPECT_TRUE(visible(v, "registrarFinReal"));
    EXPECT_FALSE(visible(v, "avisoFechas"));

    // The planned start before the project start names the project's dates.
    hijo<QDateEdit>(v, "inicio")->setDate(QDate(2024, 12, 1));
    EXPECT_TRUE(texto(v, "textoAviso").startsWith("Las fechas quedan fuera del rango del proyecto ("));
    EXPECT_EQ(hijo<QDateEdit>(v, "fin")->minimumDate(), QDate(2024, 12, 1));
}

TEST(EditorPaquete, CostsFollowTheLevel)
{
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LANG", "es_CL.UTF-8"}};
    PaqueteAWP iwp = paquete("I", NivelAWP::iwp, "A");
    iwp.hh = 100;
    iwp.progreso = 0.5;
    iwp.hhReal = 60;
    Hoja h(proyecto({paquete("A", NivelAWP::cwa)}), iwp);
    EditorPaqueteView* v = h.vista;
    EXPECT_EQ(texto(v, "hhGanadas"), "HH ganadas: 50");
    EXPECT_EQ(texto(v, "factorProductividad"), "Factor productividad: 0.83");
    auto* hhReal = hijo<CampoNumerico>(v, "campoHHReal");
    escribir(hhReal->campo(), "55");
    EXPECT_EQ(texto(v, "factorProductividad"), "Factor productividad: 0.91");
    escribir(hijo<CampoNumerico>(v, "campoHH")->campo(), "");
    EXPECT_FALSE(visible(v, "hhGanadas"));

    // A CWA with two IWPs directly under it and a CWP with three: five, in euros.
    TimeLinerConfig config = proyecto({});
    config.moneda = "EUR";
    const auto conPresupuesto = [](PaqueteAWP p, double presupuesto) {
        p.presupuesto = presupuesto;
        return p;
    };
    config.paquetes = {paquete("A", NivelAWP::cwa),
                       conPresupuesto(paquete("I1", NivelAWP::iwp, "A"), 1000.3),
                       conPresupuesto(paquete("I2", NivelAWP::iwp, "A"), 500.3),
                       paquete("P", NivelAWP::cwp, "A"),
                       paquete("I3", NivelAWP::iwp, "P"),
                       paquete("I4", NivelAWP::iwp, "P"),
                       paquete("I5", NivelAWP::iwp, "P")};
    Hoja totales(config, config.paquetes[0]);
    EXPECT_EQ(texto(totales.vista, "cabeceraTotales"), "Totales agregados de 5 IWP(s)");
    EXPECT_EQ(texto(totales.vista, "totalPresupuesto"), formatoMoneda(1500.6, "EUR"));
    EXPECT_FALSE(texto(totales.vista, "totalPresupuesto").contains(","));
    EXPECT_FALSE(visible(totales.vista, "filaTotalesHH"));
    EXPECT_FALSE(visible(totales.vista, "campoPresupuesto"));
    // Switching the level switches the block: as a CWP, "A" sums only the IWPs hanging from it.
    QTest::mouseClick(hijo<QAbstractButton>(totales.vista, "nivelCWP"), Qt::LeftButton);
    EXPECT_EQ(texto(totales.vista, "cabeceraTotales"), "Totales agregados de 2 IWP(s)");
    QTest::mouseClick(hijo<QAbstractButton>(totales.vista, "nivelIWP"), Qt::LeftButton);
    EXPECT_TRUE(visible(totales.vista, "campoPresupuesto"));
}

TEST(EditorPaquete, NumberField)
{
    const struct {
        const char* texto;
        double valor;  // from 100
        const char* queda;
    } casos[] = {
        {"12,5", 12.5, "12,5"}, {"1.234,5", 100, "1.234,5"}, {" 7 ", 7, "7"}, {"7 ab", 100, "7 ab"},
        {"", 0, ""},            {"inf", 100, "inf"},         {"1e999", 100, "1e999"}, {"12.", 12, "12."},
    };
    for (const auto& c : casos) {
        double valor = 100;
        CampoNumerico campo("Presupuesto:", [&] { return valor; }, [&](double x) { valor = x; }, "0", 0, false);
        EXPECT_EQ(campo.campo()->text(), "100");
        escribir(campo.campo(), c.texto);
        EXPECT_EQ(valor, c.valor) << c.texto;
        EXPECT_EQ(campo.campo()->text(), c.queda) << c.texto;
    }

    double valor = 0;
    CampoNumerico campo("HH", [&] { return valor; }, [&](double x) { valor = x; }, "0", 2, true);
    EXPECT_EQ(campo.campo()->text(), "");
    EXPECT_EQ(campo.campo()->placeholderText(), "0");
    valor = 12.3456;
    campo.refrescar();
    EXPECT_EQ(campo.campo()->text(), "12.35");
    escribir(campo.campo(), "10");
    valor = 10.0009;
    campo.refrescar();
    EXPECT_EQ(campo.campo()->text(), "10");

    // The first text is not read back: a fraction shown without decimals keeps its value.
    double fraccion = 2.6;
    CampoNumerico redondo("X", [&] { return fraccion; }, [&](double x) { fraccion = x; }, "0", 0, false);
    EXPECT_EQ(redondo.campo()->text(), "3");
    EXPECT_DOUBLE_EQ(fraccion, 2.6);
}

TEST(EditorPaquete, LinkedElementsPane)
{
    PaqueteAWP p = paquete("I", NivelAWP::iwp, "A");
    p.elementosNombre = {"Fantasma"};
    Hoja h(proyecto({}), p,
           propiedades({{"ARQ", {"Muro A", "Muro B", "Puerta", "Compartido"}}, {"EST", {"Compartido", "Viga muro"}}}));
    PanelElementos* panel = h.vista->panelElementos();
    ModeloElementos* m = panel->modelo();
    EXPECT_EQ(texto(h.vista, "cuentaElementos"), "1");  // a name no model has still counts

    // One name in two disciplines is one element.
    clicFila(panel, "Compartido");
    for (int i = 0; i < m->rowCount(); ++i) {
        if (m->data(m->index(i), Qt::DisplayRole) == "Compartido") {
            EXPECT_TRUE(m->data(m->index(i), ModeloElementos::vinculado).toBool());
        }
    }

    // Under a search, "Seleccionar todos" takes only the shown names of that discipline.
    panel->busqueda()->setText("muro");
    EXPECT_EQ(m->rowCount(), 5);  // ARQ, Muro A, Muro B, EST, Viga muro
    clicFila(panel, "ARQ", true);
    EXPECT_EQ(h.trabajo.elementosNombre, (QStringList{"Fantasma", "Compartido", "Muro A", "Muro B"}));
    EXPECT_TRUE(m->data(m->index(filaDe(panel, "ARQ")), ModeloElementos::todosVinculados).toBool());
    panel->busqueda()->clear();
    EXPECT_FALSE(m->data(m->index(filaDe(panel, "ARQ")), ModeloElementos::todosVinculados).toBool());
    clicFila(panel, "Compartido");  // unticked in both
    EXPECT_EQ(h.trabajo.elementosNombre, (QStringList{"Fantasma", "Muro A", "Muro B"}));

    // "Limpiar todo" takes the names no model has as well.
    QTest::mouseClick(hijo<QPushButton>(h.vista, "limpiarTodo"), Qt::LeftButton);
    EXPECT_TRUE(h.trabajo.elementosNombre.isEmpty());
    EXPECT_FALSE(visible(h.vista, "pieElementos"));

    // Without models: the empty state, no footer, and the count still shown.
    PaqueteAWP q = p;
    Hoja sinModelos(proyecto({}), q);
    EXPECT_TRUE(visible(sinModelos.vista, "sinModelos"));
    EXPECT_FALSE(visible(sinModelos.vista, "listaElementos"));
    EXPECT_FALSE(visible(sinModelos.vista, "pieElementos"));
    EXPECT_EQ(texto(sinModelos.vista, "cuentaElementos"), "1");
}
