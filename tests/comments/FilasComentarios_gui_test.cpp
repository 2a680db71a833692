// The painted comment rows of the sidebar card: their buttons from the mouse and the keyboard,
// their help texts and their height as the width changes.

#include "comments/ControladorComentarios.h"
#include "comments/ui/FilasComentarios.h"
#include "support/Activar.h"
#include "support/Esperar.h"

#include <QHelpEvent>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace quelva;
using Parte = FilasComentarios::Parte;

namespace {

ComentarioMarkup comentario(const QString& tag, const QString& descripcion = {})
{
    ComentarioMarkup c;
    c.tag = tag;
    c.autor = QStringLiteral("Ana Pérez");
    c.descripcion = descripcion;
    c.fecha = QDateTime(QDate(2025, 3, 1), QTime(9, 30));
    return c;
}

// The rows between two buttons, in a window of their own.
struct Banco {
    EstadoMarkup estado;
    ControladorComentarios controlador{estado, {}};
    QWidget ventana;
    QPushButton* antes = new QPushButton(QStringLiteral("antes"), &ventana);
    FilasComentarios* filas = nullptr;
    QPushButton* despues = nullptr;

    explicit Banco(std::vector<ComentarioMarkup> comentarios, int ancho = 280)
    {
        estado.comentarios = std::move(comentarios);
        auto* col = new QVBoxLayout(&ventana);
        col->addWidget(antes);
        filas = new FilasComentarios(controlador, estado.comentarios, &ventana);
        col->addWidget(filas);
        despues = new QPushButton(QStringLiteral("después"), &ventana);
        col->addWidget(despues);
        col->addStretch(1);
        ventana.resize(ancho, 600);
        ventana.show();
    }
    void clic(int fila, Parte boton) { QTest::mouseClick(filas, Qt::LeftButton, {}, filas->rectParte(fila, boton).center()); }
};

}  // namespace

TEST(FilasComentarios, EachButtonActsOnItsOwnCommentAsItIsNow)
{
    Banco b({comentario("MRK-001"), comentario("MRK-002", "Junta abierta"), comentario("MRK-003")});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b.ventana));
    ASSERT_EQ(b.filas->cantidad(), 3);

    // The detail shows the comment as the state holds it now, not as the row was built.
    b.estado.comentarios[1].descripcion = QStringLiteral("Junta cerrada");
    b.clic(1, Parte::verDetalle);
    ASSERT_TRUE(b.estado.detalleComentario);
    EXPECT_EQ(b.estado.detalleComentario->id, b.estado.comentarios[1].id);
    EXPECT_EQ(b.estado.detalleComentario->descripcion, "Junta cerrada");
    b.estado.detalleComentario.reset();

    b.clic(2, Parte::eliminar);
    EXPECT_EQ(b.estado.comentarioPendElim, b.estado.comentarios[2].id);
    b.estado.comentarioPendElim.reset();

    // Released off the button it was pressed on: nothing.
    QTest::mousePress(b.filas, Qt::LeftButton, {}, b.filas->rectParte(0, Parte::verDetalle).center());
    QTest::mouseRelease(b.filas, Qt::LeftButton, {}, b.filas->rectParte(0, Parte::tag).center());
    EXPECT_FALSE(b.estado.detalleComentario);
    // A comment gone meanwhile has no detail to show.
    b.estado.comentarios.erase(b.estado.comentarios.begin());
    b.clic(0, Parte::verDetalle);
    EXPECT_FALSE(b.estado.detalleComentario);
}

TEST(FilasComentarios, TabWalksEveryButtonAndSpaceOrEnterPressesIt)
{
    Banco b({comentario("MRK-001"), comentario("MRK-002")});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b.ventana));
    ACTIVAR_VENTANA_O_SALTAR(b.ventana);
    b.antes->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(b.antes->hasFocus());

    const struct {
        Qt::Key tecla;
        int fila;
        bool eliminar;
    } pasos[] = {{Qt::Key_Space, 0, false}, {Qt::Key_Return, 0, true}, {Qt::Key_Enter, 1, false}, {Qt::Key_Space, 1, true}};
    for (const auto& paso : pasos) {
        SCOPED_TRACE(paso.fila * 2 + paso.eliminar);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(b.filas->hasFocus());
        b.estado.detalleComentario.reset();
        b.estado.comentarioPendElim.reset();
        QTest::keyClick(b.filas, paso.tecla);
        const QUuid id = b.estado.comentarios[size_t(paso.fila)].id;
        if (paso.eliminar) {
            EXPECT_EQ(b.estado.comentarioPendElim, id);
            EXPECT_FALSE(b.estado.detalleComentario);
        } else {
            ASSERT_TRUE(b.estado.detalleComentario);
            EXPECT_EQ(b.estado.detalleComentario->id, id);
            EXPECT_FALSE(b.estado.comentarioPendElim);
        }
    }
    // Past the last button the focus leaves the rows; Shift+Tab comes back in at the last one.
    QTest::keyClick(b.filas, Qt::Key_Tab);
    EXPECT_TRUE(b.despues->hasFocus());
    QTest::keyClick(b.despues, Qt::Key_Backtab);
    ASSERT_TRUE(b.filas->hasFocus());
    b.estado.comentarioPendElim.reset();
    QTest::keyClick(b.filas, Qt::Key_Space);
    EXPECT_EQ(b.estado.comentarioPendElim, b.estado.comentarios[1].id);
}

TEST(FilasComentarios, HelpNamesTheButtonsAndGivesWholeWhatIsShownCut)
{
    const QString largo = QStringLiteral("MRK-") + QString(60, QLatin1Char('9'));
    const QString descripcion =
        QStringLiteral("El encuentro entre el muro de fachada y la losa del tercer piso deja una junta abierta "
                       "que hay que sellar antes de la impermeabilización de la cubierta.");
    Banco b({comentario("MRK-001", descripcion), comentario(largo)});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b.ventana));
    const auto en = [&](int fila, Parte parte) { return b.filas->rectParte(fila, parte).center(); };
    const struct {
        const char* caso;
        QPoint donde;
        QString ayuda;
    } casos[] = {
        {"eye", en(0, Parte::verDetalle), QStringLiteral("Ver detalle")},
        {"minus", en(1, Parte::eliminar), QStringLiteral("Eliminar comentario")},
        {"description", en(0, Parte::descripcion), descripcion},
        {"tag shown whole", en(0, Parte::tag), {}},
        {"tag shown cut", en(1, Parte::tag), largo},
        {"author shown whole", en(0, Parte::autor), {}},
        {"between rows", QPoint(10, b.filas->rectFila(1).top() - 2), {}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        EXPECT_EQ(b.filas->ayudaEn(c.donde), c.ayuda);
    }
    // The help shows on the screen as a tooltip.
    QHelpEvent ayuda(QEvent::ToolTip, en(0, Parte::verDetalle), b.filas->mapToGlobal(en(0, Parte::verDetalle)));
    QApplication::sendEvent(b.filas, &ayuda);
    EXPECT_EQ(QToolTip::text(), "Ver detalle");
    QToolTip::hideText();
}

TEST(FilasComentarios, ADescriptionTakesUpToTwoLinesAndTheRowsFollowTheWidth)
{
    const QString media = QStringLiteral("Revisar el encuentro del muro con la losa en el eje C");
    const QString larga = media + QStringLiteral(", la junta queda abierta en toda su longitud y hay que "
                                                 "sellarla antes de impermeabilizar la cubierta del bloque norte.");
    Banco b({comentario("A"), comentario("B", QStringLiteral("Corta")), comentario("C", media), comentario("D", larga)},
            900);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b.ventana));
    const int linea = QFontMetrics(b.filas->fuente(Parte::descripcion)).lineSpacing();
    const auto alto = [&](int fila) { return b.filas->rectFila(fila).height(); };
    EXPECT_TRUE(b.filas->rectParte(0, Parte::descripcion).isNull());
    EXPECT_EQ(b.filas->rectParte(1, Parte::descripcion).height(), linea);
    EXPECT_EQ(b.filas->rectParte(2, Parte::descripcion).height(), linea);
    EXPECT_EQ(b.filas->rectParte(3, Parte::descripcion).height(), 2 * linea);
    EXPECT_EQ(alto(1), alto(0) + linea + 3);
    const int anchoAntes = b.filas->width();
    const int altoAntes = b.filas->height();

    // Narrower, the middle description wraps to a second line, the long one stays at two, and
    // the rows grow with them.
    b.ventana.resize(240, 600);
    ASSERT_TRUE(testsupport::esperarQue([&] { return b.filas->width() < anchoAntes; }));
    ASSERT_TRUE(testsupport::esperarQue([&] { return b.filas->height() == altoAntes + linea; }));
    EXPECT_EQ(b.filas->rectParte(2, Parte::descripcion).height(), 2 * linea);
    EXPECT_EQ(b.filas->rectParte(3, Parte::descripcion).height(), 2 * linea);
    EXPECT_EQ(b.filas->height(), b.filas->heightForWidth(b.filas->width()));
    for (int fila = 0; fila < b.filas->cantidad(); ++fila) {
        SCOPED_TRACE(fila);
        for (Parte parte : {Parte::tag, Parte::verDetalle, Parte::eliminar, Parte::autor, Parte::fecha})
            EXPECT_TRUE(b.filas->rectFila(fila).contains(b.filas->rectParte(fila, parte))) << int(parte);
        // Parts of a row never overlap: the date keeps its room beside the author, the tag beside
        // the buttons.
        EXPECT_LE(b.filas->rectParte(fila, Parte::autor).right(), b.filas->rectParte(fila, Parte::fecha).left());
        EXPECT_LE(b.filas->rectParte(fila, Parte::tag).right(), b.filas->rectParte(fila, Parte::verDetalle).left());
        EXPECT_LT(b.filas->rectParte(fila, Parte::verDetalle).right(), b.filas->rectParte(fila, Parte::eliminar).left());
        if (fila > 0)
            EXPECT_GT(b.filas->rectFila(fila).top(), b.filas->rectFila(fila - 1).bottom());
    }
}
